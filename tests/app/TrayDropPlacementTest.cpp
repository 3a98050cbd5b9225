#include "app/TrayDropPlacement.h"

#include <gtest/gtest.h>

namespace {

// A taskbar at the bottom of the left screen, a top panel on the right one.
const TrayDropScreen kLeftScreen{QRect(0, 0, 1920, 1080), QRect(0, 0, 1920, 1040)};
const TrayDropScreen kRightScreen{QRect(1920, 0, 1280, 1024), QRect(1920, 24, 1280, 1000)};

struct PlacementCase {
    const char* name;
    std::optional<QRect> anchor;
    bool expanded;
    QList<TrayDropScreen> screens;
    std::optional<QRect> primary;
    QRect frame;
    int pointerOffsetX;
    bool pointsDown = false;
};

class TrayDropPlacementTest : public testing::TestWithParam<PlacementCase> {};

TEST_P(TrayDropPlacementTest, PlacesThePanelAndItsPointer) {
    const PlacementCase& c = GetParam();
    const TrayDropPlacement placement = placeTrayDropWindow(c.anchor, c.expanded, c.screens, c.primary);
    EXPECT_EQ(placement.frame, c.frame);
    EXPECT_EQ(placement.pointerOffsetX, c.pointerOffsetX);
    EXPECT_EQ(placement.pointsDown, c.pointsDown);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TrayDropPlacementTest,
    testing::Values(
        // The panel's left edge at the icon's; a small icon's middle is closer than 28 px to it.
        PlacementCase{"UnderTheIcon",
                      QRect(800, 4, 22, 22),
                      false,
                      {kLeftScreen},
                      kLeftScreen.availableGeometry,
                      QRect(800, 34, 380, 56),
                      28 - 380},
        PlacementCase{"ExpandedLeavesALargerGap",
                      QRect(800, 4, 22, 22),
                      true,
                      {kLeftScreen},
                      kLeftScreen.availableGeometry,
                      QRect(800, 36, 420, 360),
                      28 - 420},
        // Icon at the far right: the right edge stays 8 px inside, the pointer 28 px from the edge.
        PlacementCase{"RightEdgeAndPointerClamp",
                      QRect(1900, 4, 20, 22),
                      false,
                      {kLeftScreen},
                      kLeftScreen.availableGeometry,
                      QRect(1532, 34, 380, 56),
                      -28},
        PlacementCase{"LeftEdgeClamp",
                      QRect(0, 4, 10, 22),
                      false,
                      {kLeftScreen},
                      kLeftScreen.availableGeometry,
                      QRect(8, 34, 380, 56),
                      28 - 380},
        // A tray in the bottom taskbar: the panel stands above it, pointing down at the icon, 8 px
        // above the free area's lower edge; expanded, it grows upwards and never covers the icon.
        PlacementCase{"BottomTray",
                      QRect(900, 1050, 24, 24),
                      false,
                      {kLeftScreen},
                      kLeftScreen.availableGeometry,
                      QRect(900, 1040 - 56 - 8, 380, 56),
                      28 - 380,
                      true},
        PlacementCase{"BottomTrayExpanded",
                      QRect(900, 1050, 24, 24),
                      true,
                      {kLeftScreen},
                      kLeftScreen.availableGeometry,
                      QRect(900, 1040 - 360 - 8, 420, 360),
                      28 - 420,
                      true},
        PlacementCase{"NoAnchorTopRightOfPrimary",
                      std::nullopt,
                      false,
                      {kLeftScreen, kRightScreen},
                      kLeftScreen.availableGeometry,
                      QRect(1532, 8, 380, 56),
                      (1850 - 1532) - 380},
        // The icon's screen decides, and its top panel pushes the panel down.
        PlacementCase{"SecondScreenHoldsTheIcon",
                      QRect(3000, 2, 24, 20),
                      false,
                      {kLeftScreen, kRightScreen},
                      kLeftScreen.availableGeometry,
                      QRect(3200 - 388, 32, 380, 56),
                      (3012 - 2812) - 380},
        PlacementCase{"AnchorOnNoScreenUsesThePrimary",
                      QRect(5000, 0, 20, 20),
                      false,
                      {kLeftScreen},
                      kLeftScreen.availableGeometry,
                      QRect(1532, 28, 380, 56),
                      -28},
        PlacementCase{"NoScreenAtAll",
                      std::nullopt,
                      true,
                      {},
                      std::nullopt,
                      QRect(1440 - 428, 10, 420, 360),
                      (1370 - 1012) - 420}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
