#include "canvas/menu_items.h"

#include "canvas/action_images.h"
#include "platform/user_interface.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMetaObject>
#include <QPointer>

QAction *TMenuItems::Add(QMenu *menu, const QString &caption, int image, QObject *context,
                         std::function<void()> command)
{
    QAction *action = menu->addAction(caption);
    TActionImages::Apply(action, image);
    const QPointer<QObject> guard(context);
    // Queued on the application, not on the menu: the command may free the
    // menu's owner, and with it the menu.
    QObject::connect(action, &QAction::triggered, action, [guard, command = std::move(command)] {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [guard, command] {
                if (guard)
                    ShowExceptions(command);
            },
            Qt::QueuedConnection);
    });
    return action;
}

QAction *TMenuItems::AddChecked(QMenu *menu, const QString &caption, bool checked, QObject *context,
                                std::function<void()> command)
{
    QAction *action = Add(menu, caption, -1, context, std::move(command));
    action->setCheckable(true);
    action->setChecked(checked);
    return action;
}
