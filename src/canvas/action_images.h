#pragma once
// TActionImages: the pictures of the main window's action image list, by
// index, for the popup menus the canvas builds. The main window installs the
// list; without one, items carry their index and show no picture.
#include <QIcon>

#include <functional>

class QAction;

class TActionImages {
public:
    TActionImages() = delete;

    // The index an item was given, or -1 for none.
    static constexpr const char *IndexProperty = "imageIndex";
    static void Apply(QAction *action, int index);
    static void SetProvider(std::function<QIcon(int)> provider);
};
