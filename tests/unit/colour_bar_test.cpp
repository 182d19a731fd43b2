// The colour bar: the chips it fills and the pop-up's text and place.
#include <gtest/gtest.h>

#include "window/main_window.h"

namespace zelk {
namespace {

ColourBarData Bar(std::array<bool, 4> inks, std::vector<std::array<double, 4>> spots) {
    ColourBarData bar;
    bar.inks = inks;
    for (bool ink : inks) bar.processCount += ink ? 1 : 0;
    bar.processText = " C, K ";
    bar.spotValues = spots;
    for (size_t i = 0; i < spots.size(); ++i) bar.spotNames.push_back("S" + std::to_string(i + 1));
    bar.spotCount = static_cast<int32_t>(spots.size());
    return bar;
}

constexpr std::array<double, 4> kCyanSpot{1, 0, 0, 0};
constexpr Rgb kCyanChip{0, 255, 255}, kBlackChip{0, 0, 0};

TEST(ColourBar, SpotChipsShareTheBandsWithSixRowsBetween) {
    using Rows = std::vector<std::pair<int, int>>;
    auto rows = [](const std::vector<Chip>& chips) {
        Rows r;
        for (const Chip& c : chips) {
            EXPECT_EQ(c.left, 25);
            EXPECT_EQ(c.right, 44);
            r.push_back({c.top, c.bottom - 1});
        }
        return r;
    };
    EXPECT_EQ(rows(BarChips(Bar({}, {kCyanSpot}))), (Rows{{0, 211}}));
    EXPECT_EQ(rows(BarChips(Bar({}, {kCyanSpot, kCyanSpot}))), (Rows{{0, 102}, {109, 211}}));
    EXPECT_EQ(rows(BarChips(Bar({}, {kCyanSpot, kCyanSpot, kCyanSpot}))),
              (Rows{{0, 65}, {72, 137}, {144, 209}}));
    // 36 bands of 6 rows still hold a chip; from 37 on a band has no row left for one, and
    // nothing is painted (with 120 it would reach above the bar).
    EXPECT_EQ(BarChips(Bar({}, std::vector(36, kCyanSpot))).size(), 36u);
    EXPECT_TRUE(BarChips(Bar({}, std::vector(37, kCyanSpot))).empty());
    EXPECT_TRUE(BarChips(Bar({}, std::vector(120, kCyanSpot))).empty());
}

TEST(ColourBar, SpotColoursApproximateCmykAndTakeRgbAsItIs) {
    EXPECT_EQ(SpotChipColour({1, 0, 0, 0}), (Rgb{31, 255, 255}));
    EXPECT_EQ(SpotChipColour({0, 0, 0, 1}), (Rgb{30, 25, 22}));   // below zero: the low 8 bits
    EXPECT_EQ(SpotChipColour({1, 0, 0, 3.0}), (Rgb{255, 0, 0}));  // an RGB entry
    EXPECT_EQ(SpotChipColour({0.5, 0.5, 0.5, 0}), (Rgb{143, 141, 139}));   // truncated
    EXPECT_EQ(SpotChipColour({1e300, -1e300, 0, 0}), (Rgb{0, 255, 255}));  // saturated, no UB
}

TEST(ColourBar, ProcessChipsFillTheLeftColumn) {
    // Cyan and black alone take the whole width, one unpainted row between them.
    EXPECT_EQ(BarChips(Bar({true, false, false, true}, {})),
              (std::vector<Chip>{{0, 0, 44, 105, kCyanChip}, {0, 106, 44, 211, kBlackChip}}));
    // Four inks beside two spot colours: 20 pixels wide, painted after the spots.
    const auto chips = BarChips(Bar({true, true, true, true}, {kCyanSpot, {0, 0, 0, 1}}));
    ASSERT_EQ(chips.size(), 6u);
    EXPECT_EQ(chips[1], (Chip{25, 109, 44, 212, Rgb{30, 25, 22}}));
    EXPECT_EQ(chips[2], (Chip{0, 0, 19, 52, kCyanChip}));
    EXPECT_EQ(chips[5], (Chip{0, 159, 19, 211, kBlackChip}));
}

TEST(ColourBar, ThePopUpNamesTheInkUnderThePointer) {
    const auto bar = Bar({true, false, false, true}, {kCyanSpot, kCyanSpot});
    const auto process = PopUpAt(bar, 5, 30);
    ASSERT_TRUE(process);
    EXPECT_EQ(process->text, " C, K ");
    EXPECT_EQ(process->left, 5 - 42 + 223);
    EXPECT_EQ(process->top, 70);
    const auto spot = PopUpAt(bar, 30, 110);
    ASSERT_TRUE(spot);
    EXPECT_EQ(spot->text, "S2");
    EXPECT_EQ(spot->left, 270);
    EXPECT_FALSE(PopUpAt(bar, 30, 109));                   // on the boundary of two bands: neither
    EXPECT_FALSE(PopUpAt(Bar({}, {kCyanSpot}), 30, 218));  // nor below the last band
    EXPECT_FALSE(PopUpAt(Bar({}, {}), 5, 30));
}

}  // namespace
}  // namespace zelk
