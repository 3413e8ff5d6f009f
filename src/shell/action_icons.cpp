#include "shell/action_icons.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>

#include <array>

namespace {

// Index -> picture, the one list of the window's images, shared by the main
// window's actions and the popup menus; a command has one index wherever it shows.
constexpr std::array<const char *, 35> IconNames = {
    "document-new",            // 0 new page
    "document-open",           // 1 open
    "view-refresh",            // 2 refresh
    "document-save",           // 3 save
    "edit-copy",               // 4 copy
    "edit-cut",                // 5 cut
    "edit-delete",             // 6 hide
    "edit-paste",              // 7 paste
    "list-add",                // 8 merge
    "insert-image",            // 9 save as picture
    "document-print",          // 10 print
    "document-print-preview",  // 11 print preview
    "edit-find",               // 12 find
    "insert-text",             // 13 create note
    "insert-object",           // 14 create table
    "network-wired",           // 15 log on
    "network-offline",         // 16 log off
    "preferences-system",      // 17 preferences
    "system-file-manager",     // 18 database explorer
    "format-justify-fill",     // 19 layout
    "utilities-terminal",      // 20 SQL editor
    nullptr,                   // 21
    nullptr,                   // 22
    "accessories-text-editor", // 23 generate DDL
    "system-search",           // 24 query data
    "document-properties",     // 25 edit
    "zoom-in",                 // 26 zoom in
    "zoom-out",                // 27 zoom out
    nullptr,                   // 28
    nullptr,                   // 29
    nullptr,                   // 30
    nullptr,                   // 31
    "view-restore",            // 32 show no columns
    "dialog-password",         // 33 show only key columns
    "document-revert",         // 34 delta DDL
};

constexpr const char *InstalledTheme = "Adwaita";

} // namespace

const char *TActionIcons::IconName(int index)
{
    if (index < 0 || index >= int(IconNames.size()))
        return nullptr;
    return IconNames[size_t(index)];
}

namespace {

// Every size the theme holds of a picture. A theme's size lookup takes the
// nearest size and scales it up (24 for a 40-pixel double-density button);
// with all sizes at hand a larger one is scaled down instead.
QIcon AllSizesOf(const QString &name)
{
    QIcon icon;
    for (const QString &theme : {QIcon::themeName(), QIcon::fallbackThemeName()}) {
        for (const QString &base : QIcon::themeSearchPaths()) {
            const QDir folder(base + QLatin1Char('/') + theme);
            if (theme.isEmpty() || !folder.exists())
                continue;
            for (const QString &sizeFolder : folder.entryList({QStringLiteral("*x*")}, QDir::Dirs)) {
                const int size = sizeFolder.section(QLatin1Char('x'), 0, 0).toInt();
                const QDir sized(folder.filePath(sizeFolder));
                for (const QString &context : sized.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
                    const QString file = sized.filePath(context + QLatin1Char('/') + name + QStringLiteral(".png"));
                    if (size > 0 && QFileInfo::exists(file))
                        icon.addFile(file, QSize(size, size));
                }
            }
            if (!icon.isNull())
                return icon;
        }
    }
    return QIcon::fromTheme(name);
}

} // namespace

QIcon TActionIcons::Icon(int index)
{
    const char *name = IconName(index);
    if (!name)
        return {};
    static QHash<QString, QIcon> loaded;
    const QString key = QLatin1String(name);
    auto it = loaded.find(key);
    if (it == loaded.end())
        it = loaded.insert(key, AllSizesOf(key));
    return it.value();
}

void TActionIcons::UseTheme()
{
    // Some platforms (the offscreen one among them) search no system folder.
    QStringList paths = QIcon::themeSearchPaths();
    for (const QString &folder :
         QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                   QStandardPaths::LocateDirectory))
        if (!paths.contains(folder))
            paths << folder;
    QIcon::setThemeSearchPaths(paths);
    // Without a desktop (a plain X session) Qt knows no theme at all.
    const QString current = QIcon::themeName();
    if (current.isEmpty() || current == QLatin1String("hicolor"))
        QIcon::setThemeName(QLatin1String(InstalledTheme));
    QIcon::setFallbackThemeName(QLatin1String(InstalledTheme));
}
