#include "platform/user_interface.h"
#include "platform/qt_user_interface.h"

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

THourglass::THourglass() : Interface_(&UserInterface()) { Interface_->BeginHourglass(); }

// The guard ends the hourglass on the interface it started it on, even if another was installed meanwhile.
THourglass::~THourglass() { Interface_->EndHourglass(); }
