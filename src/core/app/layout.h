// The main window's horizontal layout, its size rule and its splitter, as
// plain arithmetic in twips (1/1440 inch). Vertical positions are those of
// the window design and never change, so only lefts and widths appear here.
// The window reads the fixed widths from its design, calls these rules and
// applies the results; nothing here knows about widgets.
#pragma once

#include <cstdint>
#include <optional>

namespace quexa {

using Twips = double;

inline constexpr Twips kTwipsPerInch = 1440;
inline constexpr Twips kMinimumFormWidth = 9375;
inline constexpr Twips kFormHeight = 7155;
// At least this much of the tab control stays right of the splitter bar.
inline constexpr Twips kRoomRightOfSplitter = 4000;
inline constexpr Twips kSplitterMinimumLeft = 200;
// The bar stops this far short of the inner width when dragged right.
inline constexpr Twips kSplitterRightStop = 260;
// The panes wrap their text this far inside their width.
inline constexpr Twips kPaneWrapInset = 400;

struct Span {
  Twips left = 0;
  Twips width = 0;

  bool operator==(const Span&) const = default;
};

// A rich-text pane: its place and its text-wrapping right margin.
struct PaneSpan {
  Twips left = 0;
  Twips width = 0;
  Twips rightMargin = 0;

  bool operator==(const PaneSpan&) const = default;
};

// What the window design fixes: the left edges inside frameSearch that the
// rules start from, and the widths of the fixed-size controls.
struct LayoutDesign {
  Twips searchTextLeft = 0;  // all four searchText boxes share it
  Twips frameMineLeft = 0;
  Twips frameOptionWidth = 0;
  Twips picture1Width = 0;  // the connector choices Picture1..Picture3
  Twips picture2Width = 0;
  Twips picture3Width = 0;
  Twips searchAddWidth = 0;
  Twips searchRemoveAllWidth = 0;
  Twips lblTextWidth = 0;   // "Search Text"
  Twips label1Width = 0;    // "Text Searched"
  Twips imageRedWidth = 0;  // the busy lamp
  Twips lblResultWidth = 0;
  Twips picDividerWidth = 0;  // the splitter bar
};

// The client area: its width and the left origin of its coordinates.
struct ClientArea {
  Twips innerLeft = 0;
  Twips innerWidth = 0;
};

struct SetupViewLayout {
  Span frameSearch;
  Twips searchTextWidth = 0;
  Twips frameMineWidth = 0;
  Twips searchCatWidth = 0;  // listCategory has the same width
  Span frameEngine;
  Twips frameOptionLeft = 0;
  Twips picture1Left = 0;
  Twips picture2Left = 0;
  Twips picture3Left = 0;
  Twips searchAddLeft = 0;  // searchCopy has the same left
  Span wordList;
  Twips searchRemoveLeft = 0;
  Twips searchRemoveAllLeft = 0;
  Twips lblTextLeft = 0;
  Twips label1Left = 0;
};

struct ResultsViewLayout {
  Span dispTab;
  Span outlineFile;
  Twips picDividerLeft = 0;
  std::optional<PaneSpan> allWebResult;  // placed only while tab index 0 shows
  PaneSpan dispResult;
  Span searchPage;
};

struct StatusLineLayout {
  Span dispFile;
  Twips lblResultLeft = 0;
};

struct MainLayout {
  SetupViewLayout setup;
  ResultsViewLayout results;
  StatusLineLayout status;
};

// The size rule that opens every resize: unless minimized, a width below
// 9375 is raised to 9375 and the height is always 7155.
struct FormSize {
  Twips width = 0;
  Twips height = 0;

  bool operator==(const FormSize&) const = default;
};
FormSize applyFormSizeRule(FormSize size, bool minimized);

// The set-up view (frameSearch and what it holds), the results view and the
// status line, each in the order of its rules. The results view moves the
// splitter bar when fewer than 4000 twips would stay right of it.
SetupViewLayout layOutSetupView(const LayoutDesign& design, ClientArea area);
ResultsViewLayout layOutResultsView(ClientArea area, Twips picDividerLeft, int tabIndex);
StatusLineLayout layOutStatusLine(const LayoutDesign& design, Span dispTab);
MainLayout layOutMainWindow(const LayoutDesign& design, ClientArea area, Twips picDividerLeft,
                            int tabIndex);

// The whole layout after a size change, or none while the window is
// minimized: a minimized window has no client width to lay out, and its
// controls keep their places until it is restored.
std::optional<MainLayout> layOutAfterResize(const LayoutDesign& design, ClientArea area,
                                            Twips picDividerLeft, int tabIndex, bool minimized);

// savedFormWidth after a layout: the window's width as a whole number.
int32_t savedFormWidthFor(Twips formWidth);

// The splitter bar's left edge while it is dragged: bar left plus the
// mouse's x inside the bar, rounded, at most inner width - 260, then at
// least 200. Only the bar moves.
Twips dragSplitter(Twips barLeft, Twips mouseX, Twips innerWidth);

// The release of the bar: the 4000-twip rule, then the tree up to the bar
// and the page pane from the bar's right edge, 100 twips short of the tab's
// right side; splitterLeft is the bar's final left edge.
struct SplitterRelease {
  Twips picDividerLeft = 0;
  Twips outlineFileWidth = 0;
  PaneSpan dispResult;
  Span searchPage;
  int32_t splitterLeft = 0;
};
SplitterRelease releaseSplitter(Twips barLeft, Twips barWidth, Span dispTab, Twips outlineFileLeft);

// A switch between the result tabs lays the results view out again without
// the 4000-twip rule, without placing searchPage and without touching
// splitterLeft. The page pane is placed first by the release rule and then
// by the resize rule; the second placement is the one returned.
struct TabSwitchLayout {
  Span dispTab;
  Span outlineFile;
  PaneSpan dispResult;
  std::optional<PaneSpan> allWebResult;  // only when the new tab index is 0
};
TabSwitchLayout switchResultTab(ClientArea area, Twips picDividerLeft, Twips picDividerWidth,
                                int tabIndex);

// Twips <-> pixels at a logical DPI, rounded to the nearest whole unit.
int twipsToPixels(Twips twips, double logicalDpi);
Twips pixelsToTwips(int pixels, double logicalDpi);

}  // namespace quexa
