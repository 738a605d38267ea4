#include "app/layout.h"

#include <gtest/gtest.h>

namespace quexa {
namespace {

// Fixed widths of a plausible window design.
LayoutDesign design() {
  LayoutDesign d;
  d.searchTextLeft = 120;
  d.frameMineLeft = 120;
  d.frameOptionWidth = 2200;
  d.picture1Width = 2400;
  d.picture2Width = 2300;
  d.picture3Width = 2201;
  d.searchAddWidth = 345;
  d.searchRemoveAllWidth = 1100;
  d.lblTextWidth = 1000;
  d.label1Width = 1201;
  d.imageRedWidth = 240;
  d.lblResultWidth = 2000;
  d.picDividerWidth = 60;
  return d;
}

TEST(FormSizeRule, WidthHasAFloorAndHeightIsFixedUnlessMinimized) {
  EXPECT_EQ(applyFormSizeRule({9000, 8000}, false), (FormSize{9375, 7155}));
  EXPECT_EQ(applyFormSizeRule({12000, 5000}, false), (FormSize{12000, 7155}));
  EXPECT_EQ(applyFormSizeRule({9375, 7155}, false), (FormSize{9375, 7155}));
  // A minimized window is neither sized nor laid out.
  EXPECT_EQ(applyFormSizeRule({3000, 400}, true), (FormSize{3000, 400}));
  EXPECT_FALSE(layOutAfterResize(design(), {0, 0}, 4425, 0, true).has_value());
  EXPECT_TRUE(layOutAfterResize(design(), {0, 10000}, 4425, 0, false).has_value());
  EXPECT_EQ(savedFormWidthFor(10240.6), 10241);
}

TEST(SetupView, InnerWidthTenThousandAndAShiftedOrigin) {
  SetupViewLayout l = layOutSetupView(design(), {0, 10000});
  EXPECT_EQ(l.frameSearch, (Span{100, 9770}));
  EXPECT_EQ(l.searchTextWidth, 4457);
  EXPECT_EQ(l.frameMineWidth, 4577);
  EXPECT_EQ(l.searchCatWidth, 4327);
  EXPECT_EQ(l.frameEngine, (Span{120 + 4577 - 30, 9770 - 4577 - 2200 + 75}));
  EXPECT_EQ(l.frameOptionLeft, l.frameEngine.left + l.frameEngine.width - 40);
  EXPECT_EQ(l.searchAddLeft, 120 + 4457 + 255);
  EXPECT_EQ(l.wordList, (Span{4832 + 345 + 255, 9770 - 4577 - 855 - 255}));
  EXPECT_EQ(l.searchRemoveLeft, l.wordList.left);
  EXPECT_EQ(l.searchRemoveAllLeft, 9770 - 255 - 1100);

  // A shifted origin moves the frames only.
  SetupViewLayout shifted = layOutSetupView(design(), {-300, 10000});
  EXPECT_EQ(shifted.frameSearch, (Span{-200, 9770}));
  EXPECT_EQ(shifted.wordList, l.wordList);
  EXPECT_EQ(layOutResultsView({-300, 10000}, 4425, 0).dispTab, (Span{-200, 9770}));
}

TEST(SetupView, ConnectorsAndCaptionsAreCentred) {
  LayoutDesign d = design();
  SetupViewLayout l = layOutSetupView(d, {0, 12345});
  Twips boxesCentre = d.searchTextLeft + l.searchTextWidth / 2;
  EXPECT_DOUBLE_EQ(l.picture1Left + d.picture1Width / 2, boxesCentre);
  EXPECT_DOUBLE_EQ(l.picture2Left + d.picture2Width / 2, boxesCentre);
  EXPECT_DOUBLE_EQ(l.picture3Left + d.picture3Width / 2, boxesCentre);
  EXPECT_DOUBLE_EQ(l.lblTextLeft + d.lblTextWidth / 2, boxesCentre);
  EXPECT_DOUBLE_EQ(l.label1Left + d.label1Width / 2, l.wordList.left + l.wordList.width / 2);
}

TEST(ResultsView, NarrowingKeepsFourThousandTwipsRightOfTheSplitter) {
  ResultsViewLayout wide = layOutResultsView({0, 14000}, 9000, 1);
  EXPECT_EQ(wide.picDividerLeft, 9000);
  ResultsViewLayout narrow = layOutResultsView({0, 12000}, wide.picDividerLeft, 1);
  EXPECT_EQ(narrow.picDividerLeft, 11770 - 4000);
  EXPECT_EQ(narrow.outlineFile.width, 7770 - 130);
  EXPECT_EQ(narrow.dispResult.left, 7770 + 60);
  EXPECT_EQ(narrow.dispResult.width, 11770 - 7830 - 120);
  // Exactly 4000 twips of room is enough.
  EXPECT_EQ(layOutResultsView({0, 12000}, 7770, 1).picDividerLeft, 7770);
}

TEST(SplitterDrag, StopsShortOfBothEdges) {
  EXPECT_EQ(dragSplitter(4425, 100000, 10000), 10000 - 260);
  EXPECT_EQ(dragSplitter(4425, -10000, 10000), 200);
  EXPECT_EQ(dragSplitter(4425, 12.6, 10000), 4438);
  EXPECT_EQ(dragSplitter(4425, -12.4, 10000), 4413);
  // The lower limit is applied last, so it wins in a very narrow area.
  EXPECT_EQ(dragSplitter(100, 50, 300), 200);
}

// A bar with room stays where it was let go and is remembered; the far
// right spring-back is measured on the window's own drag.
TEST(SplitterRelease, ABarWithRoomStaysAndIsRemembered) {
  Span tab{100, 9770};
  SplitterRelease r = releaseSplitter(dragSplitter(4425, -10000, 10000), 60, tab, 130);
  EXPECT_EQ(r.picDividerLeft, 200);
  EXPECT_EQ(r.outlineFileWidth, 70);
  EXPECT_EQ(r.dispResult.left, 260);
  EXPECT_EQ(r.splitterLeft, 200);
  EXPECT_EQ(releaseSplitter(3000.4, 60, tab, 130).splitterLeft, 3000);
}

TEST(TabSwitch, LaysOutWithoutTheFourThousandRuleOrTheButton) {
  TabSwitchLayout l = switchResultTab({0, 12000}, 9000, 60, 1);
  EXPECT_EQ(l.dispTab, (Span{100, 11770}));
  EXPECT_EQ(l.outlineFile, (Span{130, 9000 - 130}));
  // The resize rule's placement (bar left + 60, 120 short) is the one kept,
  // not the release rule's (bar right edge, 100 short).
  EXPECT_EQ(l.dispResult, (PaneSpan{9060, 11770 - 9060 - 120, 11770 - 9060 - 120 - 400}));
  EXPECT_FALSE(l.allWebResult.has_value());
  TabSwitchLayout all = switchResultTab({0, 12000}, 9000, 60, 0);
  ASSERT_TRUE(all.allWebResult.has_value());
  EXPECT_EQ(all.allWebResult->left, 110);
  EXPECT_EQ(all.allWebResult->width, 11770 - 100 - 120);
}

TEST(TwipsAndPixels, RoundToNearestAtTheLogicalDpi) {
  const struct {
    Twips twips;
    double dpi;
    int pixels;
  } cases[] = {{1440, 96, 96}, {9375, 96, 625}, {7, 96, 0}, {8, 96, 1}, {7155, 120, 596}};
  for (const auto& c : cases) EXPECT_EQ(twipsToPixels(c.twips, c.dpi), c.pixels) << c.twips;
  EXPECT_EQ(pixelsToTwips(625, 96), 9375);
  EXPECT_EQ(pixelsToTwips(1, 144), 10);
  EXPECT_EQ(pixelsToTwips(7, 168), 60);
  EXPECT_EQ(pixelsToTwips(twipsToPixels(4425, 96), 96), 4425);
}

}  // namespace
}  // namespace quexa
