#include "platform/user_interface.h"
#include "platform/qt_user_interface.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace {

TQtUserInterface &QtUserInterface()
{
    static TQtUserInterface instance;
    return instance;
}

IUserInterface *Installed = nullptr;

} // namespace

IUserInterface &UserInterface() { return Installed ? *Installed : QtUserInterface(); }

void SetUserInterface(IUserInterface *userInterface) { Installed = userInterface; }

QString FileFilterExtension(const QString &filter, int index)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    if (index < 0 || 2 * index + 1 >= parts.size())
        return {};
    const QString first = parts[2 * index + 1].split(QLatin1Char(';')).constFirst().trimmed();
    const qsizetype dot = first.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot < 0 ? QString() : first.mid(dot + 1);
    if (extension.contains(QLatin1Char('*')) || extension.contains(QLatin1Char('?')))
        return {};
    return extension;
}

QString SavedFileName(const QString &fileName, const TFileDialogOptions &options, int chosenFilter)
{
    if (fileName.isEmpty() || QFileInfo(fileName).fileName().contains(QLatin1Char('.')))
        return fileName;
    const QString chosen = FileFilterExtension(options.Filter, chosenFilter);
    const QString extension = chosen.isEmpty() ? options.DefaultExt : chosen;
    return extension.isEmpty() ? fileName : fileName + QLatin1Char('.') + extension;
}

void ShowWhereSaved(const QString &what, const QString &fileName)
{
    UserInterface().ShowInformation(
        QStringLiteral("The %1 was saved as \"%2\". No program is set up to open this kind of file.")
            .arg(what, QDir::toNativeSeparators(fileName)));
}

THourglass::THourglass() : Interface_(&UserInterface()) { Interface_->BeginHourglass(); }

// The guard ends the hourglass on the interface it started it on, even if another was installed meanwhile.
THourglass::~THourglass() { Interface_->EndHourglass(); }
