// Pictures of the window's commands: every command the image list names shows
// a picture from the icon theme, sharp at double density, never a badge.
#include "shell_fixture.h"

#include "canvas/action_images.h"
#include "canvas/os_diagram.h"
#include "model/model_globals.h"
#include "shell/action_icons.h"
#include "shell/main_action_table.h"

namespace {

TEST_F(ShellFixture, EveryPictureIndexShowsAThemePictureAtBothDensities)
{
    Tfrmgui &form = StartWithCanvas({"file="});
    for (const TMainActionSpec &spec : MainActionTable()) {
        QAction *action = form.Action(QLatin1String(spec.Name));
        if (spec.Image < 0) {
            EXPECT_TRUE(action->icon().isNull()) << spec.Name;
            continue;
        }
        ASSERT_NE(TActionIcons::IconName(spec.Image), nullptr) << spec.Name;
        EXPECT_FALSE(action->icon().isNull()) << spec.Name << " " << TActionIcons::IconName(spec.Image);
        // Drawn at 32 pixels for a 16-pixel button on a double-density screen,
        // not blown up from 16.
        EXPECT_GE(action->icon().actualSize(QSize(32, 32)).width(), 32) << spec.Name;
    }
    for (QToolBar *bar : form.findChildren<QToolBar *>())
        for (QAction *action : bar->actions())
            EXPECT_TRUE(action->isSeparator() || !action->icon().isNull()) << action->objectName().toStdString();
    // A command shows the same picture on the surface's popup as in the main menu.
    const std::pair<const char *, const char *> same[] = {
        {"&Layout", "actLayoutDiagram"}, {"&Paste", "actPaste"}, {"&Zoom In", "actZoomIn"}, {"&Zoom Out", "actZoomOut"}};
    QMenu *popup = CurrentDiagram->BuildPopup();
    for (const auto &[caption, name] : same) {
        const QList<QAction *> items = popup->actions();
        const auto item = std::find_if(items.begin(), items.end(),
                                       [&](QAction *a) { return a->text() == QLatin1String(caption); });
        ASSERT_NE(item, items.end()) << caption;
        EXPECT_EQ((*item)->property(TActionImages::IndexProperty).toInt(), FindMainAction(name)->Image) << caption;
        EXPECT_FALSE((*item)->icon().isNull()) << caption;
    }
    // The pictures only the popups use.
    for (int index : {23, 24, 25, 32, 33, 34})
        EXPECT_FALSE(TActionIcons::Icon(index).isNull()) << index;
    EXPECT_TRUE(TActionIcons::Icon(-1).isNull());
    EXPECT_TRUE(TActionIcons::Icon(35).isNull());
    EXPECT_EQ(TActionIcons::IconName(35), nullptr);
}

} // namespace
