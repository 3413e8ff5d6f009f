// The drawing surface's own popup menu.
#include "canvas/os_diagram.h"

#include "canvas/menu_items.h"
#include "platform/user_interface.h"

#include <QMenu>
#include <QWidget>

QMenu *TOSDiagram::BuildPopup()
{
    // The commands of a menu run on the event loop after it closed, while the
    // menu lives; the old menu goes with its pending commands.
    delete Popup.data();
    Popup = new QMenu(Surface);
    Popup->setObjectName(QStringLiteral("DiagramPopup"));
    const auto add = [this](const QString &caption, int image, void (TOSDiagram::*command)()) {
        TMenuItems::Add(Popup, caption, image, Popup, [this, command] { (this->*command)(); });
    };
    add(QStringLiteral("&Layout"), 19, &TOSDiagram::LayoutDiagram);
    add(QStringLiteral("&Show All Columns"), -1, &TOSDiagram::ShowAllColumns);
    add(QStringLiteral("&Show Only Key Columns"), 33, &TOSDiagram::ShowOnlyKeyColumns);
    add(QStringLiteral("&Show No Columns"), 32, &TOSDiagram::FoldAll);
    Popup->addSeparator();
    add(QStringLiteral("&Show Data Types"), -1, &TOSDiagram::ShowDataTypes);
    add(QStringLiteral("&Hide Data Types"), -1, &TOSDiagram::HideDataTypes);
    Popup->addSeparator();
    add(QStringLiteral("&Paste"), 7, &TOSDiagram::PasteFromClipboard);
    Popup->addSeparator();
    TMenuItems::Add(Popup, QStringLiteral("&Zoom In"), 26, Popup, [this] { Zoom(1); });
    TMenuItems::Add(Popup, QStringLiteral("&Zoom Out"), 27, Popup, [this] { Zoom(-1); });
    return Popup;
}
