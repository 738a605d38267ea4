// Where frmMain's controls stand. The vertical positions are the window
// design's and never change; the horizontal ones follow the inner width.
// All lengths are twips.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTextEdit>
#include <QTreeWidget>
#include <algorithm>

#include "app/layout.h"
#include "frm_main.h"
#include "pic_divider.h"
#include "spin_bar.h"

namespace quexa {

namespace {
// The design: tops and heights of the rows, widths of the fixed controls.
constexpr double kMargin = 100;
constexpr double kViewTop = 60;  // frameSearch and dispTab
constexpr double kViewHeight = 5400;
constexpr double kBoxLeft = 120;  // the four searchText boxes
constexpr double kBoxTop = 300;
constexpr double kBoxPitch = 720;  // box, connector choice, next box
constexpr double kBoxHeight = 330;
constexpr double kPictureWidth = 2700;
constexpr double kListButtonWidth = 600;  // ">>" and "<<"
constexpr double kGap = 255;
constexpr double kFramesTop = 2880;
constexpr double kFramesHeight = 2460;
constexpr double kEngineFrameWidth = 1650;
constexpr double kOptionFrameWidth = 3450;
constexpr double kButtonRowTop[] = {5550, 6000};
constexpr double kButtonWidth = 1380;
constexpr double kButtonHeight = 360;
constexpr double kButtonGap = 90;
constexpr double kStatusTop = 6540;
constexpr double kStatusHeight = 330;
constexpr double kLampWidth = 270;
constexpr double kResultLabelWidth = 1800;
constexpr double kDividerWidth = 60;
}  // namespace

double FrmMain::dpi() const {
  return logicalDpiX();
}

void FrmMain::place(QWidget* widget, double left, double top, double width, double height) const {
  const double d = dpi();
  widget->setGeometry(twipsToPixels(left, d), twipsToPixels(top, d),
                      std::max(0, twipsToPixels(width, d)), std::max(0, twipsToPixels(height, d)));
}

void FrmMain::arrangeControls() {
  const double inner = pixelsToTwips(width(), dpi());
  const double viewWidth = inner - 230;
  place(frameSearch, kMargin, kViewTop, viewWidth, kViewHeight);
  place(dispTab, kMargin, kViewTop, viewWidth, kViewHeight);

  // Search texts, connector choices and the word list.
  const double boxWidth = viewWidth / 2 - 428;
  for (size_t i = 0; i < searchText.size(); ++i)
    place(searchText[i], kBoxLeft, kBoxTop + kBoxPitch * static_cast<double>(i), boxWidth,
          kBoxHeight);
  const double pictureLeft = kBoxLeft + (boxWidth - kPictureWidth) / 2;
  QWidget* pictures[] = {Picture1, Picture2, Picture3};
  const std::array<QRadioButton*, 3>* options[] = {&Opt1, &Opt2, &Opt3};
  for (size_t i = 0; i < 3; ++i) {
    const double top = kBoxTop + kBoxHeight + 30 + kBoxPitch * static_cast<double>(i);
    place(pictures[i], pictureLeft, top, kPictureWidth, kBoxHeight);
    for (size_t k = 0; k < 3; ++k)
      place((*options[i])[k], 900 * static_cast<double>(k), 0, 870, kBoxHeight);
  }
  place(lblText, kBoxLeft, 60, boxWidth, 240);

  const double addLeft = kBoxLeft + boxWidth + kGap;
  place(searchAdd, addLeft, 900, kListButtonWidth, kButtonHeight);
  place(searchCopy, addLeft, 1500, kListButtonWidth, kButtonHeight);
  const double listLeft = addLeft + kListButtonWidth + kGap;
  const double listWidth = viewWidth - listLeft - kBoxLeft;
  place(wordList, listLeft, kBoxTop, listWidth, 2070);
  place(Label1, listLeft, 60, listWidth, 240);
  place(searchRemove, listLeft, 2430, 1200, kButtonHeight);
  place(searchRemoveAll, listLeft + listWidth - 1200, 2430, 1200, kButtonHeight);

  // The three frames side by side.
  const double optionLeft = viewWidth - kBoxLeft - kOptionFrameWidth;
  const double engineLeft = optionLeft - 60 - kEngineFrameWidth;
  const double mineWidth = engineLeft - 60 - kBoxLeft;
  place(frameMine, kBoxLeft, kFramesTop, mineWidth, kFramesHeight);
  place(searchCat, 120, 330, mineWidth - 250, kBoxHeight);
  place(listCategory, 120, 720, mineWidth - 250, 1200);
  place(buttonIndex, 120, 1980, 1200, kButtonHeight);

  place(frameEngine, engineLeft, kFramesTop, kEngineFrameWidth, kFramesHeight);
  QCheckBox* engines[] = {chk_yahoo, chk_lycos, chk_infoseek, chk_excite, chk_altavista};
  for (size_t i = 0; i < 5; ++i)
    place(engines[i], 150, 330 + 390 * static_cast<double>(i), kEngineFrameWidth - 200, 300);

  place(frameOption, optionLeft, kFramesTop, kOptionFrameWidth, kFramesHeight);
  place(optCase, 150, 300, 3000, 300);
  place(optSearchAll, 150, 630, 3000, 300);
  place(lblProxy, 150, 990, 1500, 300);
  place(proxyText, 1650, 990, 1650, 300);
  struct NumberRow {
    QLabel* label;
    QLineEdit* box;
    SpinBar* spin;
    double top;
  };
  for (const NumberRow& row : {NumberRow{lblTimeout, timeoutText, timeoutScroll, 1350},
                               NumberRow{lblRetry, retryText, retryScroll, 1710},
                               NumberRow{lblHits, hitsText, hitsScroll, 2070}}) {
    place(row.label, 150, row.top, 1500, 300);
    place(row.box, 1650, row.top, 690, 300);
    place(row.spin, 2340, row.top, 240, 300);
  }
  place(lblSeconds, 2640, 1350, 780, 300);

  // The command buttons in two rows.
  QPushButton* rows[2][6] = {
      {searchNow, searchStop, searchConfig, viewPrev, searchPrint, searchSave},
      {buttonView, buttonMine, buttonEngine, buttonTimer, helpCfg, stExit}};
  const double buttonWidth = std::max(kButtonWidth, (viewWidth - 5 * kButtonGap) / 6);
  for (size_t r = 0; r < 2; ++r)
    for (size_t c = 0; c < 6; ++c)
      place(rows[r][c], kMargin + (buttonWidth + kButtonGap) * static_cast<double>(c),
            kButtonRowTop[r], buttonWidth, kButtonHeight);

  // The status line along the window.
  place(ImageRed, kMargin, kStatusTop, kLampWidth, kStatusHeight);
  place(ImageGreen, kMargin, kStatusTop, kLampWidth, kStatusHeight);
  const double fileLeft = kMargin + kLampWidth + 80;
  const double fileWidth = viewWidth - kResultLabelWidth - kLampWidth - 80;
  place(dispFile, fileLeft, kStatusTop, fileWidth, kStatusHeight);
  place(lblResult, fileLeft + fileWidth, kStatusTop, kResultLabelWidth, kStatusHeight);
  ImageRed->setAlignment(Qt::AlignCenter);
  ImageGreen->setAlignment(Qt::AlignCenter);
}

void FrmMain::arrangeEachSitePage() {
  const double d = dpi();
  const double pageWidth = pixelsToTwips(eachSitePage->width(), d);
  const double pageHeight = pixelsToTwips(eachSitePage->height(), d);
  const double dividerLeft = dividerDragLeft_ >= 0 ? pixelsToTwips(dividerDragLeft_, d)
                                                   : static_cast<double>(splitterLeft);
  const double paneLeft = dividerLeft + kDividerWidth;
  const double paneWidth = pageWidth - paneLeft - 60;
  place(outlineFile, 30, 30, dividerLeft - 30, pageHeight - 60);
  place(picDivider, dividerLeft, 30, kDividerWidth, pageHeight - 60);
  place(dispResult, paneLeft, 30, paneWidth, pageHeight - 60 - kButtonHeight - 60);
  place(searchPage, paneLeft, pageHeight - 30 - kButtonHeight, paneWidth, kButtonHeight);
}

}  // namespace quexa
