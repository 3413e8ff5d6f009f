#pragma once
// TActionIcons: the pictures of the main window's image list, by index, for
// its actions, tool bars and the popup menus of the canvas and explorers.
// Drawn from the desktop's icon theme, which carries each picture at several
// sizes, so tool buttons stay sharp on high-density screens.
#include <QIcon>

class TActionIcons {
public:
    TActionIcons() = delete;

    // The picture of an image index; a null icon for -1 or an unknown index.
    static QIcon Icon(int index);
    // The theme name behind an index, empty for none.
    static const char *IconName(int index);
    // Makes sure a theme that has the pictures is searched: the desktop's own
    // first, the one the program installs with as the fall-back.
    static void UseTheme();
};
