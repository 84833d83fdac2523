// Anchored places and the remembered window place, without a window.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "app/window_place.h"
#include "platform/text.h"
#include "platform/ui_layout.h"

namespace kestrova::test {
namespace {

std::tuple<LONG, LONG, LONG, LONG> Tuple(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

TEST(AnchoredRectTest, FollowsItsAnchorsAndScales) {
    // A child at 10,20 - 110,70 in a 200 x 100 parent; the parent grows to 300 x 160.
    const RECT child = {10, 20, 110, 70};
    const SIZE designed = {200, 100};
    const struct {
        Anchors anchors;
        SIZE parent;
        int dpi;
        RECT expected;
    } cases[] = {
        {kAnchorTopLeft, {300, 160}, 96, {10, 20, 110, 70}},
        {kAnchorAll, {300, 160}, 96, {10, 20, 210, 130}},
        {kAnchorTopWide, {300, 160}, 96, {10, 20, 210, 70}},
        {kAnchorBottomWide, {300, 160}, 96, {10, 80, 210, 130}},
        {kAnchorBottomRight, {300, 160}, 96, {110, 80, 210, 130}},
        {kAnchorTopRight, {300, 160}, 96, {110, 20, 210, 70}},
        {0, {300, 160}, 96, {10, 20, 110, 70}},
        // At 144 dpi every designed length is half as long again; the parent is 300 x 150.
        {kAnchorTopLeft, {300, 150}, 144, {15, 30, 165, 105}},
        {kAnchorAll, {300, 150}, 144, {15, 30, 165, 105}},
        {kAnchorBottomRight, {450, 200}, 144, {165, 80, 315, 155}},
        {kAnchorAll, {450, 200}, 144, {15, 30, 315, 155}},
        // A parent smaller than designed never turns a stretched child inside out.
        {kAnchorAll, {50, 30}, 96, {10, 20, 10, 20}},
    };
    for (const auto& c : cases) {
        const RECT placed =
            AnchoredRect(AnchoredPlace{child, designed, c.anchors}, c.parent, c.dpi);
        EXPECT_EQ(Tuple(placed), Tuple(c.expected))
            << "anchors " << c.anchors << " parent " << c.parent.cx << "x" << c.parent.cy << " dpi "
            << c.dpi;
    }
}

TEST(WindowPlaceTest, TextRoundTripsAndBadTextIsNoPlace) {
    const WindowPlace place{{80, 60, 1280, 860}, true, 144};
    const std::wstring text = FormatWindowPlace(place);
    EXPECT_EQ(text, L"80,60,1280,860,1,144");
    const auto read = ParseWindowPlace(text);
    ASSERT_TRUE(read);
    EXPECT_EQ(Tuple(read->normal), Tuple(place.normal));
    EXPECT_TRUE(read->maximized);
    EXPECT_EQ(read->dpi, 144);
    EXPECT_EQ(Tuple(ParseWindowPlace(L"-1700,-20,-900,500,0,96")->normal),
              std::tuple(-1700L, -20L, -900L, 500L));
    for (const wchar_t* bad : {L"", L"1,2,3,4,0", L"1,2,3,4,0,96,7", L"10,10,5,20,0,96",
                               L"10,10,20,10,0,96", L"0,0,800,600,2,96", L"0,0,800,600,0,0",
                               L"0,0,800,600,0,96x", L"a,0,800,600,0,96", L"0,,800,600,0,96"}) {
        EXPECT_FALSE(ParseWindowPlace(bad)) << ToUtf8(bad);
    }
}

TEST(WindowPlaceTest, FitScalesToTheDpiAndKeepsTheSmallestSize) {
    const SIZE minimum = {770, 520};
    const struct {
        WindowPlace saved;
        int dpi;
        RECT expected;
    } cases[] = {
        {{{100, 50, 1300, 850}, false, 96}, 96, {100, 50, 1300, 850}},
        {{{100, 50, 1300, 850}, false, 96}, 144, {100, 50, 1900, 1250}},
        {{{100, 50, 1900, 1250}, false, 144}, 96, {100, 50, 1300, 850}},
        {{{100, 50, 500, 350}, false, 96}, 96, {100, 50, 870, 570}},
    };
    for (const auto& c : cases) {
        const WindowPlace fitted = FitWindowPlace(c.saved, minimum, c.dpi);
        EXPECT_EQ(Tuple(fitted.normal), Tuple(c.expected));
        EXPECT_EQ(fitted.dpi, c.dpi);
    }
}

TEST(WindowPlaceTest, OnlyAPlaceOnAMonitorIsUsed) {
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const SIZE minimum = {770, 520};
    const LONG x = work.left + 10;
    const LONG y = work.top + 10;
    // Where it was left, grown to the smallest size.
    const auto small = UsableWindowPlace({{x, y, x + 300, y + 200}, false, 96}, minimum, 96);
    ASSERT_TRUE(small);
    EXPECT_EQ(Tuple(small->normal), std::tuple(x, y, x + 770, y + 520));
    // Off every monitor, or with only a sliver of it on one: not used.
    EXPECT_FALSE(UsableWindowPlace({{30000, 30000, 31000, 30700}, false, 96}, minimum, 96));
    EXPECT_FALSE(UsableWindowPlace({{work.right - 20, y, work.right + 780, y + 600}, false, 96},
                                   minimum, 96));
}

}  // namespace
}  // namespace kestrova::test
