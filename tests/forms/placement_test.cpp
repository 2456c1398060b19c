// SPDX-License-Identifier: MIT
// Where a window goes at its first show: centred as a whole, frame included,
// or with its client area at a fixed place.

#include "placement.h"
#include "units.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct PlacementCase
{
    const char* name;
    forms::StartPosition start;
    int clientWidth;
    int clientHeight;
    forms::FrameMargins frame;
    forms::PixelRect screen;
    forms::PixelPoint expected;
};

class PlacementTest : public testing::TestWithParam<PlacementCase>
{};

TEST_P(PlacementTest, PlacesTheClientArea)
{
    const PlacementCase& c = GetParam();
    // 2340 and 1935 twips from the screen's corner: 156 and 129 pixels at 96 dpi.
    const forms::WindowDescription window{.startPosition = c.start, .left = 2340, .top = 1935};
    EXPECT_EQ(
        forms::firstShowClientPosition(window, c.clientWidth, c.clientHeight, c.frame, c.screen, 1 / 15.0),
        c.expected);
}

INSTANTIATE_TEST_SUITE_P(Windows, PlacementTest,
                         testing::Values(
                             // 671 × 579 with a title bar of 20 and borders of 1 (5 below): the
                             // whole window is 673 × 604 and lies at (303, 210).
                             PlacementCase{"CentredWithFrame",
                                           forms::StartPosition::CentreScreen,
                                           671,
                                           579,
                                           {1, 20, 1, 5},
                                           {0, 0, 1280, 1024},
                                           {304, 230}},
                             PlacementCase{"CentredWithoutFrame",
                                           forms::StartPosition::CentreScreen,
                                           498,
                                           289,
                                           {},
                                           {0, 0, 1280, 1024},
                                           {391, 367}},
                             PlacementCase{"CentredOnASecondScreen",
                                           forms::StartPosition::CentreScreen,
                                           200,
                                           100,
                                           {4, 30, 4, 4},
                                           {1920, 0, 1024, 768},
                                           {1920 + 408 + 4, 30 + 317}},
                             PlacementCase{"LargerThanTheScreenKeepsItsTitleBarOnIt",
                                           forms::StartPosition::CentreScreen,
                                           900,
                                           700,
                                           {1, 20, 1, 5},
                                           {0, 0, 800, 600},
                                           {1, 20}},
                             PlacementCase{"FixedPlaceIgnoresTheFrame",
                                           forms::StartPosition::Manual,
                                           382,
                                           237,
                                           {1, 20, 1, 5},
                                           {0, 0, 1280, 1024},
                                           {156, 129}},
                             PlacementCase{"FixedPlaceOnASecondScreen",
                                           forms::StartPosition::Manual,
                                           382,
                                           237,
                                           {},
                                           {1920, 100, 1024, 768},
                                           {2076, 229}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AutoSizedRectTest, ARightAlignedLabelKeepsItsRightEdgeAnyOtherItsLeft)
{
    const forms::PixelRect before{192, 120, 187, 19};
    forms::ControlDescription label{.kind = forms::ControlKind::Label, .autoSize = true};
    for (const auto alignment : {forms::Alignment::Left, forms::Alignment::Centre, forms::Alignment::Right}) {
        label.alignment = alignment;
        for (const int width : {40, 187, 260}) {
            const forms::PixelRect after = forms::autoSizedRect(label, before, width, 24);
            const int keptEdge = alignment == forms::Alignment::Right ? after.left + after.width : after.left;
            const int edgeBefore =
                alignment == forms::Alignment::Right ? before.left + before.width : before.left;
            EXPECT_EQ(keptEdge, edgeBefore) << "width " << width;
            EXPECT_EQ(after.top, before.top);
            EXPECT_EQ(after.width, width);
            EXPECT_EQ(after.height, 24);
        }
    }
}

struct UnitCase
{
    int twips;
    int dpi;
    int pixels;
};

TEST(UnitsTest, TwipsAtTheWindowsResolution)
{
    // The main window's client area, the About dialog's place and a one-pixel step, at 100 % and 150 %.
    const UnitCase cases[] = {{10065, 96, 671}, {8685, 96, 579},  {10065, 144, 1007}, {8685, 144, 869},
                              {2340, 96, 156},  {2340, 144, 234}, {15, 96, 1},        {15, 144, 2},
                              {7, 96, 0},       {8, 96, 1},       {0, 144, 0},        {-2340, 96, -156}};
    for (const UnitCase& c : cases)
        EXPECT_EQ(forms::twipsToPixels(c.twips, c.dpi), c.pixels)
            << c.twips << " twips at " << c.dpi << " dpi";
    EXPECT_EQ(forms::twipsToPixels(10065), 671) << "96 dpi unless told";
}

TEST(UnitsTest, PointSizesAsPixelHeights)
{
    EXPECT_EQ(forms::pointsToPixels(8.25), 11);
    EXPECT_EQ(forms::pointsToPixels(9.75), 13);
    EXPECT_EQ(forms::pointsToPixels(14.25), 19);
    EXPECT_EQ(forms::pointsToPixels(15.75), 21);
    EXPECT_EQ(forms::pointsToPixels(24), 32);
    EXPECT_EQ(forms::pointsToPixels(8.25, 144), 17);
    EXPECT_EQ(forms::pointsToPixels(13.5, 144), 27);
}

TEST(UnitsTest, FontsScaleWithTheGeometryAndNeverFaster)
{
    // Each window's font sizes at 100, 125, 150 and 200 %: the height at 96 dpi
    // scaled and rounded down, never the point size rounded up anew.
    const struct
    {
        double points;
        int at96, at120, at144, at192;
    } cases[] = {{8.25, 11, 13, 16, 22}, {9.75, 13, 16, 19, 26},  {12, 16, 20, 24, 32},
                 {13.5, 18, 22, 27, 36}, {15.75, 21, 26, 31, 42}, {18, 24, 30, 36, 48},
                 {24, 32, 40, 48, 64}};
    for (const auto& c : cases) {
        EXPECT_EQ(forms::fontPixels(c.points), c.at96) << c.points;
        EXPECT_EQ(forms::fontPixels(c.points, 120), c.at120) << c.points;
        EXPECT_EQ(forms::fontPixels(c.points, 144), c.at144) << c.points;
        EXPECT_EQ(forms::fontPixels(c.points, 192), c.at192) << c.points;
        for (const int dpi : {96, 120, 144, 168, 192, 240, 288})
            EXPECT_LE(forms::fontPixels(c.points, dpi) * 96, c.at96 * dpi) << c.points << " pt at " << dpi;
    }
}

} // namespace
