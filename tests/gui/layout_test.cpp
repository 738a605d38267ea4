// The main window's size rule, its horizontal layout, the splitter drag and
// the tab switch, measured on the real window; the rules themselves are the
// layout tests' own. The window converts at 144 dots per inch here, where a
// pixel is exactly 10 twips.
#include <QMouseEvent>

#include "app/settings.h"
#include "gui_fixture.h"
#include "pic_divider.h"

namespace quexa::testing {
namespace {

constexpr double kDpi = 144;

int px(Twips twips) {
  return twipsToPixels(twips, kDpi);
}

std::vector<int> pixels(std::initializer_list<Twips> twips) {
  std::vector<int> shown;
  for (Twips t : twips) shown.push_back(px(t));
  return shown;
}

// A control's left edge in the window's client area, in pixels.
int leftInWindow(const FrmMain& w, const QWidget* control) {
  return control->mapTo(&w, QPoint(0, 0)).x();
}

class LayoutTest : public GuiTest {
 protected:
  FrmMain& openAt(int width) {
    FrmMain& w = openMainWindow();
    w.twipsDpi = kDpi;
    w.show();
    resizeTo(width, 300);
    return w;
  }

  // The window system answers a resize later; the rule may ask once more.
  void resizeTo(int width, int height) {
    form->resize(width, height);
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  }

  void mouse(QEvent::Type type, int x, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(x, 5), form->picDivider->mapToGlobal(QPointF(x, 5)), button,
                      held, Qt::NoModifier);
    QCoreApplication::sendEvent(form->picDivider, &event);
  }

  void showTab(int index) {
    form->dispTab->setCurrentIndex(index);
    QCoreApplication::processEvents();
  }

  // Presses the left button on the bar, moves to x inside it and releases.
  void dragBar(int x) {
    mouse(QEvent::MouseButtonPress, 0, Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseMove, x, Qt::NoButton, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, x, Qt::LeftButton, Qt::NoButton);
  }
};

TEST_F(LayoutTest, TheWidthHasAFloorTheHeightIsFixedAndTheSavedWidthFollows) {
  FrmMain& w = openAt(1200);
  EXPECT_EQ((std::vector<int>{w.width(), w.height(), w.savedFormWidth}),
            (std::vector<int>{1200, px(kFormHeight), 12000}));
  resizeTo(500, 900);
  // 9375 twips, rounded to whole pixels.
  EXPECT_EQ((std::vector<int>{w.width(), w.height(), w.savedFormWidth}),
            (std::vector<int>{px(kMinimumFormWidth), px(kFormHeight), 9380}));

  w.close();
  EXPECT_EQ(decodeSettings(readFile("qxconfig.qxf")).savedFormWidth, 9380);
}

TEST_F(LayoutTest, ASavedBarTooFarRightMovesLeftButKeepsItsSavedPlace) {
  Settings saved;
  saved.splitterLeft = 8000;
  saved.savedFormWidth = 12000;
  writeFile("qxconfig.qxf", encodeSettings(saved));
  // At the screen's own resolution, as the program starts.
  FrmMain& w = openMainWindow();
  const Twips tabWidth = w.layout.results.dispTab.width;
  EXPECT_NEAR(tabWidth, 11770, 15);
  EXPECT_EQ(w.layout.results.picDividerLeft, tabWidth - 4000);
  EXPECT_EQ(w.layout.results.outlineFile.width, tabWidth - 4000 - 130);
  // Only a release of the bar changes the saved place.
  EXPECT_EQ(w.splitterLeft, 8000);
}

// An inner width of 10000 twips: each control stands where the layout's
// numbers for that width say, in both views and on the status line.
TEST_F(LayoutTest, EveryControlStandsAtItsRuledPlaceAndDraggingTheBarMovesOnlyTheBar) {
  FrmMain& w = openAt(1000);
  for (QLineEdit* box : w.searchText) EXPECT_EQ(box->width(), px(4457));
  EXPECT_EQ((std::vector<int>{w.frameSearch->x(), w.frameSearch->width(), w.frameMine->width(),
                              w.searchCat->width(), w.listCategory->width(), w.frameEngine->x(),
                              w.frameOption->x(), w.wordList->x(), w.searchRemove->x(),
                              w.searchRemoveAll->x()}),
            pixels({100, 9770, 4577, 4327, 4327, 4547, 6325, 5687, 5687, 8315}));
  EXPECT_EQ((std::vector<int>{w.dispTab->x(), w.dispTab->width(), leftInWindow(w, w.allWebResult),
                              w.allWebResult->width(), w.allWebResult->lineWrapColumnOrWidth(),
                              w.dispFile->x(), w.dispFile->width(), w.lblResult->x()}),
            pixels({100, 9770, 110, 9550, 9150, 450, 7620, 8070}));
  EXPECT_EQ(w.allWebResult->lineWrapMode(), QTextEdit::FixedPixelWidth);
  // The connector choices and the captions are centred on what they belong to.
  const int boxCentre = w.searchText[0]->x() + w.searchText[0]->width() / 2;
  for (QWidget* centred : {w.Picture1, w.Picture2, w.Picture3, static_cast<QWidget*>(w.lblText)})
    EXPECT_NEAR(centred->x() + centred->width() / 2, boxCentre, 1);
  EXPECT_NEAR(w.Label1->x() + w.Label1->width() / 2, w.wordList->x() + w.wordList->width() / 2, 1);

  showTab(1);  // the first run's bar has room enough
  EXPECT_EQ((std::vector<int>{leftInWindow(w, w.outlineFile), w.outlineFile->width(),
                              leftInWindow(w, w.picDivider), leftInWindow(w, w.dispResult),
                              w.dispResult->width(), w.dispResult->lineWrapColumnOrWidth(),
                              leftInWindow(w, w.searchPage)}),
            pixels({130, 4295, 4425, 4485, 5165, 4765, 4485}));

  // Dragging the bar stops at its limits and moves only the bar.
  const QRect paneBefore = w.dispResult->geometry();

  mouse(QEvent::MouseButtonPress, 1, Qt::LeftButton, Qt::LeftButton);
  mouse(QEvent::MouseMove, 5000, Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(w.layout.results.picDividerLeft, 10000 - 260);
  EXPECT_EQ(leftInWindow(w, w.picDivider), px(9740));
  EXPECT_EQ(w.dispResult->geometry(), paneBefore);

  mouse(QEvent::MouseMove, -5000, Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(w.layout.results.picDividerLeft, 200);
  mouse(QEvent::MouseMove, 30, Qt::NoButton, Qt::LeftButton);
  EXPECT_EQ(w.layout.results.picDividerLeft, 500);
  EXPECT_EQ(w.dispResult->geometry(), paneBefore);
  EXPECT_EQ(w.splitterLeft, 4425);

  // Moving without the left button held does not drag.
  mouse(QEvent::MouseMove, 40, Qt::NoButton, Qt::RightButton);
  EXPECT_EQ(w.layout.results.picDividerLeft, 500);
}

// A release keeps 4000 twips right of the bar and puts the page pane at the
// bar's right edge, 100 twips short; a tab switch then places the panes by the
// resize rule (bar left + 60, 120 short) and leaves searchPage alone.
TEST_F(LayoutTest, ReleasingTheBarSavesItsPlaceAndATabSwitchLaysOutByTheResizeRule) {
  FrmMain& w = openAt(1000);
  showTab(1);
  dragBar(5000);
  EXPECT_EQ(w.splitterLeft, 5770);
  EXPECT_EQ(w.layout.results.dispResult, (PaneSpan{5830, 3840, 3440}));
  EXPECT_EQ((std::vector<int>{leftInWindow(w, w.picDivider), w.outlineFile->width(),
                              leftInWindow(w, w.dispResult), w.dispResult->width(),
                              w.searchPage->width()}),
            pixels({5770, 5640, 5830, 3840, 3840}));

  showTab(0);
  EXPECT_EQ(w.layout.results.dispResult, (PaneSpan{5830, 3820, 3420}));
  EXPECT_EQ(*w.layout.results.allWebResult, (PaneSpan{110, 9550, 9150}));
  EXPECT_EQ(w.layout.results.searchPage, (Span{5830, 3840}));
  showTab(1);
  EXPECT_EQ((std::vector<int>{leftInWindow(w, w.dispResult), w.dispResult->width(),
                              w.searchPage->width()}),
            pixels({5830, 3820, 3840}));

  dragBar(-5000);
  EXPECT_EQ(w.splitterLeft, 200);
  w.close();
  EXPECT_EQ(decodeSettings(readFile("qxconfig.qxf")).splitterLeft, 200);
}

}  // namespace
}  // namespace quexa::testing
