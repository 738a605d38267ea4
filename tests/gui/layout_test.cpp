// The main window's size rule, its horizontal layout, the splitter drag and
// the tab switch, measured on the real window. The window converts at 144
// dots per inch here, where a pixel is exactly 10 twips.
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
  EXPECT_EQ(w.height(), px(kFormHeight));
  EXPECT_EQ(w.width(), 1200);
  EXPECT_EQ(w.savedFormWidth, 12000);

  resizeTo(500, 900);
  EXPECT_EQ(w.width(), px(kMinimumFormWidth));
  EXPECT_EQ(w.height(), px(kFormHeight));
  EXPECT_EQ(w.savedFormWidth, 9380);  // 9375 twips, rounded to whole pixels

  w.close();
  EXPECT_EQ(decodeSettings(readFile("qxconfig.qxf")).savedFormWidth, 9380);
}

TEST_F(LayoutTest, AnInnerWidthOf10000GivesTheSetUpViewItsRuledPlaces) {
  FrmMain& w = openAt(1000);
  // The controls stand where the layout's numbers for that width say.
  EXPECT_EQ(w.frameSearch->geometry().x(), 10);
  EXPECT_EQ(w.frameSearch->width(), 977);
  for (QLineEdit* box : w.searchText) EXPECT_EQ(box->width(), px(4457));
  EXPECT_EQ(w.frameMine->width(), px(4577));
  EXPECT_EQ(w.searchCat->width(), px(4327));
  EXPECT_EQ(w.listCategory->width(), px(4327));
  EXPECT_EQ(w.frameEngine->x(), px(4547));
  EXPECT_EQ(w.frameOption->x(), px(6325));
  EXPECT_EQ(w.wordList->x(), px(5687));
  EXPECT_EQ(w.searchRemove->x(), px(5687));
  EXPECT_EQ(w.searchRemoveAll->x(), px(8315));
  // The connector choices and the captions are centred on what they belong to.
  const int boxCentre = w.searchText[0]->x() + w.searchText[0]->width() / 2;
  for (QWidget* centred : {w.Picture1, w.Picture2, w.Picture3, static_cast<QWidget*>(w.lblText)})
    EXPECT_NEAR(centred->x() + centred->width() / 2, boxCentre, 1);
  EXPECT_NEAR(w.Label1->x() + w.Label1->width() / 2, w.wordList->x() + w.wordList->width() / 2, 1);
}

TEST_F(LayoutTest, TheResultsViewAndStatusLineFollowTheTabControl) {
  FrmMain& w = openAt(1000);
  EXPECT_EQ(w.dispTab->x(), 10);
  EXPECT_EQ(w.dispTab->width(), 977);
  EXPECT_EQ(leftInWindow(w, w.allWebResult), px(110));
  EXPECT_EQ(w.allWebResult->width(), px(9550));
  EXPECT_EQ(w.allWebResult->lineWrapMode(), QTextEdit::FixedPixelWidth);
  EXPECT_EQ(w.allWebResult->lineWrapColumnOrWidth(), px(9150));
  EXPECT_EQ(w.dispFile->x(), px(450));
  EXPECT_EQ(w.dispFile->width(), px(7620));
  EXPECT_EQ(w.lblResult->x(), px(8070));

  showTab(1);
  EXPECT_EQ(leftInWindow(w, w.outlineFile), px(130));
  EXPECT_EQ(w.outlineFile->width(), px(4295));
  EXPECT_EQ(leftInWindow(w, w.picDivider), px(4425));  // the first run's bar has room enough
  EXPECT_EQ(leftInWindow(w, w.dispResult), px(4485));
  EXPECT_EQ(w.dispResult->width(), px(5165));
  EXPECT_EQ(w.dispResult->lineWrapColumnOrWidth(), px(4765));
  EXPECT_EQ(leftInWindow(w, w.searchPage), px(4485));
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

TEST_F(LayoutTest, DraggingTheBarStopsAtItsLimitsAndOnlyTheBarMoves) {
  FrmMain& w = openAt(1000);
  showTab(1);
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

TEST_F(LayoutTest, ReleasingTheBarKeeps4000TwipsRightOfItAndSavesItsPlace) {
  FrmMain& w = openAt(1000);
  showTab(1);

  dragBar(5000);
  const ResultsViewLayout& r = w.layout.results;
  EXPECT_EQ(r.picDividerLeft, 9770 - 4000);
  EXPECT_EQ(w.splitterLeft, 5770);
  EXPECT_EQ(r.outlineFile.width, 5770 - 130);
  // The release puts the page pane at the bar's right edge, 100 twips short.
  EXPECT_EQ(r.dispResult, (PaneSpan{5830, 3840, 3440}));
  EXPECT_EQ(r.searchPage, (Span{5830, 3840}));
  EXPECT_EQ(leftInWindow(w, w.picDivider), px(5770));
  EXPECT_EQ(w.outlineFile->width(), px(5640));
  EXPECT_EQ(leftInWindow(w, w.dispResult), px(5830));
  EXPECT_EQ(w.dispResult->width(), px(3840));
  EXPECT_EQ(w.searchPage->width(), px(3840));

  dragBar(-5000);
  EXPECT_EQ(w.splitterLeft, 200);
  EXPECT_EQ(w.layout.results.outlineFile.width, 70);

  w.close();
  EXPECT_EQ(decodeSettings(readFile("qxconfig.qxf")).splitterLeft, 200);
}

TEST_F(LayoutTest, ATabSwitchPlacesThePanesByTheResizeRuleAndLeavesTheRestAlone) {
  FrmMain& w = openAt(1000);
  showTab(1);
  dragBar(100);  // 1000 twips right of its left edge: 5425
  ASSERT_EQ(w.splitterLeft, 5425);
  const Span searchPageAfterRelease = w.layout.results.searchPage;

  showTab(0);
  EXPECT_EQ(w.layout.results.dispResult, (PaneSpan{5485, 4165, 3765}));
  EXPECT_EQ(*w.layout.results.allWebResult, (PaneSpan{110, 9550, 9150}));
  EXPECT_EQ(w.layout.results.searchPage, searchPageAfterRelease);
  EXPECT_EQ(w.splitterLeft, 5425);

  showTab(1);
  EXPECT_EQ(leftInWindow(w, w.dispResult), px(5485));
  EXPECT_EQ(w.dispResult->width(), px(4165));
  // searchPage keeps the width of the release: 100 twips short, not 120.
  EXPECT_EQ(w.searchPage->width(), px(4185));
}

}  // namespace
}  // namespace quexa::testing
