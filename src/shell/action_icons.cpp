#include "shell/action_icons.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>

#include <array>

namespace {

// Index -> picture, the one list of the window's images. 0-22 are the main
// window's commands; the rest serve the popup menus' own items.
constexpr std::array<const char *, 35> IconNames = {
    "document-new",           // 0 new page
    "document-open",          // 1 open
    "list-add",               // 2 merge
    "document-save",          // 3 save
    "insert-image",           // 4 save as picture
    "document-print",         // 5 print
    "document-print-preview", // 6 print preview
    "edit-cut",               // 7 cut
    "edit-copy",              // 8 copy
    "edit-paste",             // 9 paste
    "edit-delete",            // 10 hide
    "view-refresh",           // 11 refresh
    "format-justify-fill",    // 12 layout
    "edit-find",              // 13 find
    "zoom-in",                // 14 zoom in
    "zoom-out",               // 15 zoom out
    "insert-text",            // 16 create note
    "insert-object",          // 17 create table
    "network-wired",          // 18 log on
    "network-offline",        // 19 log off
    "preferences-system",     // 20 preferences
    "system-file-manager",    // 21 database explorer
    "utilities-terminal",     // 22 SQL editor
    "accessories-text-editor", // 23 generate DDL
    "system-search",          // 24 query data
    "document-properties",    // 25 edit
    "zoom-in",                // 26 zoom in (popup)
    "zoom-out",               // 27 zoom out (popup)
    nullptr,                  // 28
    nullptr,                  // 29
    nullptr,                  // 30
    nullptr,                  // 31
    "view-restore",           // 32 show no columns
    "dialog-password",        // 33 show only key columns
    "document-revert",        // 34 delta DDL
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
