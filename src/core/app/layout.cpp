#include "app/layout.h"

#include <algorithm>
#include <cmath>

namespace quexa {

namespace {

// Both the frame of the set-up view and the tab control of the results view
// sit 100 twips in from the left and leave 130 twips on the right.
Span viewSpan(ClientArea area) {
  return Span{area.innerLeft + 100, area.innerWidth - 230};
}

Twips centredLeft(Twips outerLeft, Twips outerWidth, Twips ownWidth) {
  return outerLeft + (outerWidth - ownWidth) / 2;
}

PaneSpan pane(Twips left, Twips width) {
  return PaneSpan{left, width, width - kPaneWrapInset};
}

// The page pane as a resize places it: 60 twips right of the bar's left
// edge (the tree's right end), 120 twips short of the tab's width.
PaneSpan dispResultByResizeRule(Span dispTab, Span outlineFile) {
  Twips left = outlineFile.left + outlineFile.width + 60;
  return pane(left, dispTab.width - left - 120);
}

// The page pane as a splitter release places it: at the bar's right edge,
// 100 twips short of the tab's width.
PaneSpan dispResultByReleaseRule(Span dispTab, Twips barLeft, Twips barWidth) {
  Twips left = barLeft + barWidth;
  return pane(left, dispTab.width - left - 100);
}

PaneSpan allWebResultFor(Span dispTab) {
  return pane(dispTab.left + 10, dispTab.width - dispTab.left - 120);
}

Twips keepRoomRightOfSplitter(Span dispTab, Twips barLeft) {
  if (dispTab.width - barLeft < kRoomRightOfSplitter) return dispTab.width - kRoomRightOfSplitter;
  return barLeft;
}

}  // namespace

FormSize applyFormSizeRule(FormSize size, bool minimized) {
  if (minimized) return size;
  size.width = std::max(size.width, kMinimumFormWidth);
  size.height = kFormHeight;
  return size;
}

SetupViewLayout layOutSetupView(const LayoutDesign& design, ClientArea area) {
  SetupViewLayout l;
  l.frameSearch = viewSpan(area);
  l.searchTextWidth = l.frameSearch.width / 2 - 428;
  const Twips textLeft = design.searchTextLeft;
  const Twips textRight = textLeft + l.searchTextWidth;

  l.frameMineWidth = l.searchTextWidth + 120;
  l.searchCatWidth = l.frameMineWidth - 250;
  l.frameEngine.left = design.frameMineLeft + l.frameMineWidth - 30;
  l.frameEngine.width = l.frameSearch.width - l.frameMineWidth - design.frameOptionWidth + 75;
  l.frameOptionLeft = l.frameEngine.left + l.frameEngine.width - 40;

  l.picture1Left = centredLeft(textLeft, l.searchTextWidth, design.picture1Width);
  l.picture2Left = centredLeft(textLeft, l.searchTextWidth, design.picture2Width);
  l.picture3Left = centredLeft(textLeft, l.searchTextWidth, design.picture3Width);

  l.searchAddLeft = textRight + 255;
  l.wordList.left = l.searchAddLeft + design.searchAddWidth + 255;
  l.wordList.width = l.frameSearch.width - textRight - 855 - 255;
  l.searchRemoveLeft = l.wordList.left;
  l.searchRemoveAllLeft = l.frameSearch.width - 255 - design.searchRemoveAllWidth;

  l.lblTextLeft = textLeft + l.searchTextWidth / 2 - design.lblTextWidth / 2;
  l.label1Left = l.wordList.left + l.wordList.width / 2 - design.label1Width / 2;
  return l;
}

ResultsViewLayout layOutResultsView(ClientArea area, Twips picDividerLeft, int tabIndex) {
  ResultsViewLayout l;
  l.dispTab = viewSpan(area);
  l.outlineFile.left = l.dispTab.left + 30;
  l.picDividerLeft = keepRoomRightOfSplitter(l.dispTab, picDividerLeft);
  l.outlineFile.width = l.picDividerLeft - l.outlineFile.left;
  if (tabIndex == 0) l.allWebResult = allWebResultFor(l.dispTab);
  l.dispResult = dispResultByResizeRule(l.dispTab, l.outlineFile);
  l.searchPage = Span{l.dispResult.left, l.dispResult.width};
  return l;
}

StatusLineLayout layOutStatusLine(const LayoutDesign& design, Span dispTab) {
  StatusLineLayout l;
  l.dispFile.left = dispTab.left + design.imageRedWidth + 80;
  l.dispFile.width = dispTab.width - design.lblResultWidth - design.imageRedWidth - 80;
  l.lblResultLeft = l.dispFile.left + l.dispFile.width;
  return l;
}

MainLayout layOutMainWindow(const LayoutDesign& design, ClientArea area, Twips picDividerLeft,
                            int tabIndex) {
  MainLayout l;
  l.setup = layOutSetupView(design, area);
  l.results = layOutResultsView(area, picDividerLeft, tabIndex);
  l.status = layOutStatusLine(design, l.results.dispTab);
  return l;
}

std::optional<MainLayout> layOutAfterResize(const LayoutDesign& design, ClientArea area,
                                            Twips picDividerLeft, int tabIndex, bool minimized) {
  if (minimized) return std::nullopt;
  return layOutMainWindow(design, area, picDividerLeft, tabIndex);
}

int32_t savedFormWidthFor(Twips formWidth) {
  return static_cast<int32_t>(std::lround(formWidth));
}

Twips dragSplitter(Twips barLeft, Twips mouseX, Twips innerWidth) {
  Twips left = std::round(barLeft + mouseX);
  left = std::min(left, innerWidth - kSplitterRightStop);
  return std::max(left, kSplitterMinimumLeft);
}

SplitterRelease releaseSplitter(Twips barLeft, Twips barWidth, Span dispTab,
                                Twips outlineFileLeft) {
  SplitterRelease r;
  r.picDividerLeft = keepRoomRightOfSplitter(dispTab, barLeft);
  r.outlineFileWidth = r.picDividerLeft - outlineFileLeft;
  r.dispResult = dispResultByReleaseRule(dispTab, r.picDividerLeft, barWidth);
  r.searchPage = Span{r.dispResult.left, r.dispResult.width};
  r.splitterLeft = static_cast<int32_t>(std::lround(r.picDividerLeft));
  return r;
}

TabSwitchLayout switchResultTab(ClientArea area, Twips picDividerLeft, Twips picDividerWidth,
                                int tabIndex) {
  TabSwitchLayout l;
  l.dispTab = viewSpan(area);
  l.outlineFile.left = l.dispTab.left + 30;
  l.outlineFile.width = picDividerLeft - l.outlineFile.left;
  // The pane is placed twice in a row, as the window always did; the
  // resize-rule placement is the one that stays.
  l.dispResult = dispResultByReleaseRule(l.dispTab, picDividerLeft, picDividerWidth);
  l.dispResult = dispResultByResizeRule(l.dispTab, l.outlineFile);
  if (tabIndex == 0) l.allWebResult = allWebResultFor(l.dispTab);
  return l;
}

int twipsToPixels(Twips twips, double logicalDpi) {
  return static_cast<int>(std::lround(twips * logicalDpi / kTwipsPerInch));
}

Twips pixelsToTwips(int pixels, double logicalDpi) {
  return std::round(pixels * kTwipsPerInch / logicalDpi);
}

}  // namespace quexa
