#include "platform/user_interface.h"
#include "platform/qt_user_interface.h"

#include <QDir>

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

void ShowWhereSaved(const QString &what, const QString &fileName)
{
    UserInterface().ShowInformation(
        QStringLiteral("The %1 was saved as \"%2\". No program is set up to open this kind of file.")
            .arg(what, QDir::toNativeSeparators(fileName)));
}

THourglass::THourglass() : Interface_(&UserInterface()) { Interface_->BeginHourglass(); }

// The guard ends the hourglass on the interface it started it on, even if another was installed meanwhile.
THourglass::~THourglass() { Interface_->EndHourglass(); }
