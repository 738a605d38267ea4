#include "main_layout.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextEdit>
#include <QTreeWidget>
#include <algorithm>

#include "frm_main.h"
#include "pic_divider.h"
#include "spin_bar.h"

namespace quexa {

namespace {

// --- the window design ---

// Both views fill the same area below the top edge.
constexpr Twips kViewTop = 60;
constexpr Twips kViewHeight = 5430;

// Inside frameSearch.
constexpr Twips kSearchTextLeft = 120;
constexpr Twips kFrameMineLeft = 0;  // its right edge lines up with the boxes'
constexpr Twips kCaptionTop = 30;    // "Search Text", "Text Searched"
constexpr Twips kCaptionHeight = 255;
constexpr Twips kCaptionWidth = 1500;
constexpr Twips kBoxTop = 300;
constexpr Twips kBoxPitch = 720;  // a box, its connector choice, the next box
constexpr Twips kBoxHeight = 330;
constexpr Twips kConnectorGap = 15;  // between a box and the choice below it
constexpr Twips kConnectorWidth = 2700;
constexpr Twips kConnectorButtonPitch = 900;
constexpr Twips kConnectorButtonWidth = 870;
constexpr Twips kListButtonWidth = 600;  // ">>" and "<<"
constexpr Twips kAddTop = 900;
constexpr Twips kCopyTop = 1440;
constexpr Twips kWordListHeight = 2040;
constexpr Twips kRemoveTop = 2430;
constexpr Twips kRemoveWidth = 1200;
constexpr Twips kConnectionsWidth = 690;
constexpr Twips kFramesTop = 2910;
constexpr Twips kFramesHeight = 2490;
constexpr Twips kOptionFrameWidth = 3450;

constexpr Twips kButtonHeight = 360;
// The "Web Engines" frame: its scrolling column of tick boxes and its last row.
constexpr Twips kEngineColumnHeight = 1770;
constexpr Twips kEngineLastRowTop = 2085;
constexpr Twips kCheckHitsWidth = 1350;
constexpr Twips kEnginesButtonWidth = 1350;
constexpr Twips kEnginesDotsWidth = 285;
constexpr Twips kRowHeight = 330;

// The command buttons: two rows of six below the views.
constexpr Twips kCommandLeft = 100;
constexpr Twips kCommandTop[] = {5580, 6030};
constexpr Twips kCommandWidth = 1440;
constexpr Twips kCommandHeight = 390;
constexpr Twips kCommandGap = 100;

// The status line along the bottom.
constexpr Twips kStatusTop = 6570;
constexpr Twips kStatusHeight = 345;
constexpr Twips kLampLeft = 100;
constexpr Twips kLampWidth = 270;
constexpr Twips kResultLabelWidth = 1800;

// On the result tabs, from the top of the tab's page.
constexpr Twips kPageTop = 60;
constexpr Twips kPageBottom = 60;
constexpr Twips kSearchPageGap = 60;  // between dispResult and "Search Web Site"
constexpr Twips kDividerWidth = 60;

// Puts a control at a place given in twips, within a parent whose origin
// lies originX pixels right of the origin the twips are measured from.
struct Placer {
  double dpi = 96;
  int originX = 0;

  int px(Twips twips) const { return twipsToPixels(twips, dpi); }

  void place(QWidget* widget, Twips left, Twips top, Twips width, Twips height) const {
    widget->setGeometry(px(left) - originX, px(top), std::max(0, px(width)),
                        std::max(0, px(height)));
  }

  // A rich-text pane wraps its text at its right margin, measured from its
  // left edge.
  void wrapAt(QTextEdit* pane, Twips rightMargin) const {
    pane->setLineWrapMode(QTextEdit::FixedPixelWidth);
    pane->setLineWrapColumnOrWidth(std::max(1, px(rightMargin)));
  }
};

Twips innerWidthOf(const FrmMain& form, double dpi) {
  return pixelsToTwips(form.width(), dpi);
}

// The offset of a result tab's page within the window, in pixels.
int pageOriginX(const FrmMain& form, const QWidget* page) {
  return page->mapTo(&form, QPoint(0, 0)).x();
}

void placeSearchTexts(FrmMain& form, const SetupViewLayout& l, const Placer& on) {
  const LayoutDesign design = mainWindowDesign();
  on.place(form.lblText, l.lblTextLeft, kCaptionTop, design.lblTextWidth, kCaptionHeight);
  for (size_t i = 0; i < form.searchText.size(); ++i)
    on.place(form.searchText[i], design.searchTextLeft, kBoxTop + kBoxPitch * static_cast<Twips>(i),
             l.searchTextWidth, kBoxHeight);

  QWidget* pictures[] = {form.Picture1, form.Picture2, form.Picture3};
  const Twips pictureLefts[] = {l.picture1Left, l.picture2Left, l.picture3Left};
  const std::array<QRadioButton*, 3>* choices[] = {&form.Opt1, &form.Opt2, &form.Opt3};
  const Placer inPicture{on.dpi, 0};
  for (size_t i = 0; i < 3; ++i) {
    const Twips top = kBoxTop + kBoxHeight + kConnectorGap + kBoxPitch * static_cast<Twips>(i);
    on.place(pictures[i], pictureLefts[i], top, kConnectorWidth, kBoxHeight);
    for (size_t k = 0; k < 3; ++k)
      inPicture.place((*choices[i])[k], kConnectorButtonPitch * static_cast<Twips>(k), 0,
                      kConnectorButtonWidth, kBoxHeight);
  }

  on.place(form.searchAdd, l.searchAddLeft, kAddTop, design.searchAddWidth, kButtonHeight);
  on.place(form.searchCopy, l.searchAddLeft, kCopyTop, design.searchAddWidth, kButtonHeight);
  on.place(form.Label1, l.label1Left, kCaptionTop, design.label1Width, kCaptionHeight);
  on.place(form.wordList, l.wordList.left, kBoxTop, l.wordList.width, kWordListHeight);
  on.place(form.searchRemove, l.searchRemoveLeft, kRemoveTop, kRemoveWidth, kButtonHeight);
  on.place(form.searchRemoveAll, l.searchRemoveAllLeft, kRemoveTop, design.searchRemoveAllWidth,
           kButtonHeight);
}

void placeSiteFrame(FrmMain& form, const SetupViewLayout& l, const Placer& on) {
  on.place(form.frameMine, kFrameMineLeft, kFramesTop, l.frameMineWidth, kFramesHeight);
  const Placer inFrame{on.dpi, 0};
  inFrame.place(form.searchCat, 120, 330, l.searchCatWidth, kBoxHeight);
  inFrame.place(form.listCategory, 120, 750, l.searchCatWidth, 1230);
  inFrame.place(form.buttonIndex, 120, 2040, kRemoveWidth, kButtonHeight);
  // The connections box keeps to the right end of the URL list above it.
  const Twips spinLeft = 120 + l.searchCatWidth - kConnectionsWidth;
  inFrame.place(form.connectionsSpin, spinLeft, 2055, kConnectionsWidth, kRowHeight);
  inFrame.place(form.lblConnections, 120 + kRemoveWidth + 120, 2070, spinLeft - kRemoveWidth - 240,
                300);
  form.lblConnections->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  form.frameMine->update();
}

void placeEngineFrame(FrmMain& form, const SetupViewLayout& l, const Placer& on) {
  on.place(form.frameEngine, l.frameEngine.left, kFramesTop, l.frameEngine.width, kFramesHeight);
  const Placer inFrame{on.dpi, 0};
  // The five head a column that scrolls once the user's engines follow
  // them, their rows a little closer than in the window design so that
  // Check Hits and the editor's command share a last row under them.
  const Twips inner = l.frameEngine.width - 120;
  inFrame.place(form.userEngineBoxes, 60, 300, inner, kEngineColumnHeight);
  form.userEngineBoxes->arrangeRows(inFrame.px(90), 0, inFrame.px(300), inFrame.px(60));
  // A narrow frame shows the command by its dots alone, in the title row
  // (Alt+N still works); a roomy one beside Check Hits.
  const bool roomy = inner >= kCheckHitsWidth + kEnginesButtonWidth;
  form.buttonEngines->setText(roomy ? "Engi&nes..." : "...");
  form.buttonEngines->setShortcut(QKeySequence("Alt+N"));
  if (roomy) {
    inFrame.place(form.chkCheckHits, 150, kEngineLastRowTop, inner - kEnginesButtonWidth - 90, 300);
    inFrame.place(form.buttonEngines, 60 + inner - kEnginesButtonWidth, kEngineLastRowTop - 30,
                  kEnginesButtonWidth, kButtonHeight);
  } else {
    inFrame.place(form.chkCheckHits, 150, kEngineLastRowTop, inner - 90, 300);
    inFrame.place(form.buttonEngines, 60 + inner - kEnginesDotsWidth, 0, kEnginesDotsWidth, 300);
  }
}

void placeOptionFrame(FrmMain& form, const SetupViewLayout& l, const Placer& on) {
  on.place(form.frameOption, l.frameOptionLeft, kFramesTop, kOptionFrameWidth, kFramesHeight);
  const Placer in{on.dpi, 0};
  // The crawl's two choices stand beside the search's own, each box as wide
  // as its caption needs.
  in.place(form.optCase, 150, 330, 1425, 300);
  in.place(form.optStandardLinks, 1575, 330, 1725, 300);
  in.place(form.optSearchAll, 150, 660, 1800, 300);
  in.place(form.optIgnoreRobots, 1950, 660, 1395, 300);
  in.place(form.lblProxy, 150, 1035, 1500, 300);
  in.place(form.proxyText, 1650, 1020, 1650, kRowHeight);
  struct NumberRow {
    QLabel* label;
    QLineEdit* box;
    SpinBar* spin;
    Twips top;
  };
  for (const NumberRow& row :
       {NumberRow{form.lblTimeout, form.timeoutText, form.timeoutScroll, 1410},
        NumberRow{form.lblRetry, form.retryText, form.retryScroll, 1770},
        NumberRow{form.lblHits, form.hitsText, form.hitsScroll, 2130}}) {
    in.place(row.label, 150, row.top + 15, 1500, 300);
    in.place(row.box, 1650, row.top, 690, kRowHeight);
    in.place(row.spin, 2340, row.top, 240, kRowHeight);
  }
  in.place(form.lblSeconds, 2655, 1425, 750, 300);
}

void placeSetupView(FrmMain& form, const SetupViewLayout& l, double dpi) {
  const Placer onWindow{dpi, 0};
  onWindow.place(form.frameSearch, l.frameSearch.left, kViewTop, l.frameSearch.width, kViewHeight);
  const Placer inFrame{dpi, 0};
  placeSearchTexts(form, l, inFrame);
  placeSiteFrame(form, l, inFrame);
  placeEngineFrame(form, l, inFrame);
  placeOptionFrame(form, l, inFrame);
}

void placeCommandButtons(FrmMain& form, double dpi) {
  const Placer onWindow{dpi, 0};
  QPushButton* rows[2][6] = {{form.searchNow, form.searchStop, form.searchConfig, form.viewPrev,
                              form.searchPrint, form.searchSave},
                             {form.buttonView, form.buttonMine, form.buttonEngine, form.buttonTimer,
                              form.helpCfg, form.stExit}};
  for (size_t r = 0; r < 2; ++r)
    for (size_t c = 0; c < 6; ++c)
      onWindow.place(rows[r][c],
                     kCommandLeft + (kCommandWidth + kCommandGap) * static_cast<Twips>(c),
                     kCommandTop[r], kCommandWidth, kCommandHeight);
}

void placeStatusLine(FrmMain& form, const StatusLineLayout& l, double dpi) {
  const Placer onWindow{dpi, 0};
  for (QLabel* lamp : {form.ImageRed, form.ImageGreen}) {
    onWindow.place(lamp, kLampLeft, kStatusTop, kLampWidth, kStatusHeight);
    lamp->setAlignment(Qt::AlignCenter);
  }
  onWindow.place(form.dispFile, l.dispFile.left, kStatusTop, l.dispFile.width, kStatusHeight);
  onWindow.place(form.lblResult, l.lblResultLeft, kStatusTop, kResultLabelWidth, kStatusHeight);
  if (form.lblUnfetched->isHidden()) return;
  const QRect file = form.dispFile->geometry();
  const int width = std::min(form.lblUnfetched->sizeHint().width() + 8, file.width() / 2);
  form.dispFile->setGeometry(file.adjusted(0, 0, -width, 0));
  form.lblUnfetched->setGeometry(file.right() + 1 - width, file.top(), width, file.height());
}

}  // namespace

void placeStatusFields(FrmMain& form) {
  placeStatusLine(form, form.layout.status, twipsDpiOf(form));
}

namespace {

void placeDispTab(FrmMain& form, double dpi) {
  const Span& tab = form.layout.results.dispTab;
  Placer{dpi, 0}.place(form.dispTab, tab.left, kViewTop, tab.width, kViewHeight);
}

void placeDivider(FrmMain& form, const Placer& onPage, Twips pageHeight) {
  onPage.place(form.picDivider, form.layout.results.picDividerLeft, kPageTop, kDividerWidth,
               pageHeight - kPageTop - kPageBottom);
}

void keepSizeRule(FrmMain& form, double dpi) {
  const QSize least(twipsToPixels(kMinimumFormWidth, dpi), twipsToPixels(kFormHeight, dpi));
  if (form.minimumSize() != least) form.setMinimumSize(least);
  if (form.maximumHeight() != least.height()) form.setMaximumHeight(least.height());
}

}  // namespace

LayoutDesign mainWindowDesign() {
  LayoutDesign d;
  d.searchTextLeft = kSearchTextLeft;
  d.frameMineLeft = kFrameMineLeft;
  d.frameOptionWidth = kOptionFrameWidth;
  d.picture1Width = kConnectorWidth;
  d.picture2Width = kConnectorWidth;
  d.picture3Width = kConnectorWidth;
  d.searchAddWidth = kListButtonWidth;
  d.searchRemoveAllWidth = kRemoveWidth;
  d.lblTextWidth = kCaptionWidth;
  d.label1Width = kCaptionWidth;
  d.imageRedWidth = kLampWidth;
  d.lblResultWidth = kResultLabelWidth;
  d.picDividerWidth = kDividerWidth;
  return d;
}

double twipsDpiOf(const FrmMain& form) {
  return form.twipsDpi > 0 ? form.twipsDpi : form.logicalDpiX();
}

void formResize(FrmMain& form) {
  if (form.isMinimized()) return;
  const double dpi = twipsDpiOf(form);
  // The window manager is told the rule too, so that it offers no other size.
  keepSizeRule(form, dpi);
  const FormSize wanted =
      applyFormSizeRule({innerWidthOf(form, dpi), pixelsToTwips(form.height(), dpi)}, false);
  const QSize size(twipsToPixels(wanted.width, dpi), twipsToPixels(wanted.height, dpi));
  if (size != form.size()) form.resize(size);
  arrangeMainWindow(form);
  // The saved width changes only when the window really did, so that
  // rounding at another resolution does not creep from run to run.
  if (form.width() != twipsToPixels(form.savedFormWidth, dpi))
    form.savedFormWidth = savedFormWidthFor(innerWidthOf(form, dpi));
}

void arrangeMainWindow(FrmMain& form) {
  const double dpi = twipsDpiOf(form);
  const ClientArea area{0, innerWidthOf(form, dpi)};
  // The all-results pane keeps its place while the other tab shows.
  const std::optional<PaneSpan> allWebResult = form.layout.results.allWebResult;
  form.layout = layOutMainWindow(mainWindowDesign(), area, form.layout.results.picDividerLeft,
                                 form.dispTab->currentIndex());
  if (!form.layout.results.allWebResult) form.layout.results.allWebResult = allWebResult;

  placeSetupView(form, form.layout.setup, dpi);
  placeDispTab(form, dpi);
  placeResultTabs(form);
  placeCommandButtons(form, dpi);
  placeStatusLine(form, form.layout.status, dpi);
  form.dispTab->update();
}

void placeResultTabs(FrmMain& form) {
  const double dpi = twipsDpiOf(form);
  const ResultsViewLayout& r = form.layout.results;

  QWidget* each = form.eachSitePage;
  const Placer onEach{dpi, pageOriginX(form, each)};
  const Twips eachHeight = pixelsToTwips(each->height(), dpi);
  const Twips paneHeight = eachHeight - kPageTop - kPageBottom;
  onEach.place(form.outlineFile, r.outlineFile.left, kPageTop, r.outlineFile.width, paneHeight);
  placeDivider(form, onEach, eachHeight);
  onEach.place(form.dispResult, r.dispResult.left, kPageTop, r.dispResult.width,
               paneHeight - kSearchPageGap - kButtonHeight);
  onEach.wrapAt(form.dispResult, r.dispResult.rightMargin);
  onEach.place(form.searchPage, r.searchPage.left, eachHeight - kPageBottom - kButtonHeight,
               r.searchPage.width, kButtonHeight);

  QWidget* all = form.allWebResult->parentWidget();
  if (!r.allWebResult || all == nullptr) return;
  const Placer onAll{dpi, pageOriginX(form, all)};
  const Twips allHeight = pixelsToTwips(all->height(), dpi);
  onAll.place(form.allWebResult, r.allWebResult->left, kPageTop, r.allWebResult->width,
              allHeight - kPageTop - kPageBottom);
  onAll.wrapAt(form.allWebResult, r.allWebResult->rightMargin);
}

void dragDivider(FrmMain& form, int x) {
  const double dpi = twipsDpiOf(form);
  Twips& bar = form.layout.results.picDividerLeft;
  bar = dragSplitter(bar, pixelsToTwips(x, dpi), innerWidthOf(form, dpi));
  QWidget* each = form.eachSitePage;
  placeDivider(form, Placer{dpi, pageOriginX(form, each)}, pixelsToTwips(each->height(), dpi));
}

void releaseDivider(FrmMain& form) {
  ResultsViewLayout& r = form.layout.results;
  const SplitterRelease release =
      releaseSplitter(r.picDividerLeft, kDividerWidth, r.dispTab, r.outlineFile.left);
  r.picDividerLeft = release.picDividerLeft;
  r.outlineFile.width = release.outlineFileWidth;
  r.dispResult = release.dispResult;
  r.searchPage = release.searchPage;
  form.splitterLeft = release.splitterLeft;
  placeResultTabs(form);
}

void layOutResultTab(FrmMain& form, int tabIndex) {
  const double dpi = twipsDpiOf(form);
  ResultsViewLayout& r = form.layout.results;
  const TabSwitchLayout t =
      switchResultTab({0, innerWidthOf(form, dpi)}, r.picDividerLeft, kDividerWidth, tabIndex);
  r.dispTab = t.dispTab;
  r.outlineFile = t.outlineFile;
  r.dispResult = t.dispResult;
  if (t.allWebResult) r.allWebResult = t.allWebResult;
  placeDispTab(form, dpi);
  placeResultTabs(form);
}

}  // namespace quexa
