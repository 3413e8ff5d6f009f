// Where an added box goes: as wanted when nothing lies there, else the nearest
// free place right of or below it, a gap away from the boxes it missed.
#include "canvas/free_spot.h"

#include <gtest/gtest.h>

TEST(FreeSpot, TheWantedPlaceIsKeptUnlessABoxLiesThere)
{
    const TRect wanted = Bounds(20, 20, 100, 50);
    const struct {
        const char *why;
        std::vector<TRect> taken;
        TRect expected;
    } cases[] = {
        {"empty page", {}, wanted},
        {"touching corners cover nothing", {Bounds(120, 70, 50, 50), Bounds(0, 0, 20, 20)}, wanted},
        {"an empty box covers nothing", {Bounds(30, 30, 0, 10), Bounds(30, 30, 10, 0), Bounds(130, 20, 50, 50)}, wanted},
        {"nor is it in the way", {Bounds(20, 20, 100, 200), Bounds(150, 30, 0, 0)}, Bounds(140, 20, 100, 50)},
        {"never above the wanted place", {Bounds(0, -100, 300, 50), Bounds(20, 20, 100, 200)}, Bounds(140, 20, 100, 50)},
        {"beside a tall box", {Bounds(20, 20, 100, 200)}, Bounds(140, 20, 100, 50)},
        {"below a wide box", {Bounds(20, 20, 300, 40)}, Bounds(20, 80, 100, 50)},
        {"below a box that only its gap touches", {Bounds(0, 0, 300, 5)}, wanted},
        {"past a box under another", {Bounds(20, 20, 100, 400), Bounds(40, 30, 10, 10)}, Bounds(140, 20, 100, 50)},
        {"past a gap too narrow", {Bounds(20, 20, 100, 400), Bounds(150, 20, 100, 400)}, Bounds(270, 20, 100, 50)},
        {"into a gap wide enough", {Bounds(20, 20, 100, 400), Bounds(260, 20, 100, 400)}, Bounds(140, 20, 100, 50)},
        {"a box left and above the place", {Bounds(0, 0, 50, 50), Bounds(500, 0, 50, 500)}, Bounds(70, 20, 100, 50)},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FreeSpot(c.taken, wanted), c.expected) << c.why;
}
