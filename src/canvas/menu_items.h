#pragma once
// Popup menu items whose commands run after the menu has closed: a command may
// rebuild the page and so free the box that owns the menu.
#include <QString>

#include <functional>

class QAction;
class QMenu;
class QObject;

class TMenuItems {
public:
    TMenuItems() = delete;

    // An item with a caption and an image index (-1 for none). The command
    // runs later on the event loop, as long as Context lives; what it raises
    // is shown in a message box.
    static QAction *Add(QMenu *menu, const QString &caption, int image, QObject *context,
                        std::function<void()> command);
    // A check-marked item.
    static QAction *AddChecked(QMenu *menu, const QString &caption, bool checked, QObject *context,
                               std::function<void()> command);
};
