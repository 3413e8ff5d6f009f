#include "canvas/action_images.h"

#include <QAction>

namespace {

std::function<QIcon(int)> &Provider()
{
    static std::function<QIcon(int)> provider;
    return provider;
}

} // namespace

void TActionImages::Apply(QAction *action, int index)
{
    action->setProperty(IndexProperty, index);
    if (index >= 0 && Provider())
        action->setIcon(Provider()(index));
}

void TActionImages::SetProvider(std::function<QIcon(int)> provider) { Provider() = std::move(provider); }
