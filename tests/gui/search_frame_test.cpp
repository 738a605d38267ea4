// Start, Stop and the stop-first guard over the real controls, and the
// result tree that the searches write to.
#include "app/search_frame.h"
#include "app/errors.h"
#include "gui_fixture.h"
#include "null_fetcher.h"

namespace quexa::testing {
namespace {

using SearchFrameTest = GuiTest;

TEST_F(SearchFrameTest, TheGreenLampBlinksWhileASearchRunsAndStopAsksItToEnd) {
  FrmMain& w = openMainWindow();
  enterRunningState(w.state, w.window());
  EXPECT_FALSE(w.ImageRed->isVisibleTo(&w));
  EXPECT_TRUE(w.ImageGreen->isVisibleTo(&w));
  EXPECT_TRUE(w.busyTimer->isActive());
  EXPECT_EQ(w.busyTimer->interval(), 150);
  EXPECT_FALSE(w.searchNow->isEnabled());
  // Two ticks hide the green lamp and show it again.
  w.busyTimer_Timer();
  EXPECT_FALSE(w.ImageGreen->isVisibleTo(&w));
  w.busyTimer_Timer();
  EXPECT_TRUE(w.ImageGreen->isVisibleTo(&w));
  EXPECT_FALSE(w.ImageRed->isVisibleTo(&w));

  w.searchStop->click();
  EXPECT_EQ(w.state.stopRequest, 1);
  EXPECT_EQ(w.dispFile->text().toStdString(), "Please wait while connection is being closed .....");
  EXPECT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_FALSE(stopFirstGuard(w.state, w.window()));
  EXPECT_EQ(beeps, 1);
  EXPECT_EQ(messages,
            (std::vector<ShownMessage>{{"You must stop the current search first!",
                                        "Search is not stopped", MessageIcon::Critical}}));

  NullFetcher fetcher;
  endSearch(w.state, w.window(), fetcher, EndReason::Stopped);
  EXPECT_EQ(w.dispFile->text().toStdString(), "Search was stopped before its completion!");
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_FALSE(w.busyTimer->isActive());
  EXPECT_TRUE(w.ImageRed->isVisibleTo(&w));
  EXPECT_FALSE(w.ImageGreen->isVisibleTo(&w));
  EXPECT_TRUE(stopFirstGuard(w.state, w.window()));
}

TEST_F(SearchFrameTest, TreeNodesHangUnderTheirParentsAndRefuseARepeatedKey) {
  FrmMain& w = openMainWindow();
  QtWindow& win = w.window();
  win.addNode({std::nullopt, "I1", "Work", "closed", "open"});
  win.addNode({"I1", "S1", "http://a/", "leaf", std::nullopt});
  EXPECT_THROW(win.addNode({"I1", "S1", "again", "leaf", std::nullopt}), QuexaError);
  EXPECT_THROW(win.addNode({"nope", "S2", "orphan", "leaf", std::nullopt}), QuexaError);

  ASSERT_EQ(w.outlineFile->topLevelItemCount(), 1);
  QTreeWidgetItem* index = w.outlineFile->topLevelItem(0);
  ASSERT_EQ(index->childCount(), 1);
  EXPECT_EQ(index->child(0)->text(0).toStdString(), "http://a/");
  EXPECT_EQ(QtWindow::keyOf(index->child(0)), "S1");
  EXPECT_FALSE(index->isExpanded());
  win.makeVisible("S1");
  EXPECT_TRUE(index->isExpanded());

  // Far down a long list: shown once the window gets to its events, at the
  // last node asked for.
  for (int n = 2; n <= 300; ++n)
    win.addNode(
        {"I1", "S" + std::to_string(n), "http://a/" + std::to_string(n), "leaf", std::nullopt});
  w.show();
  win.makeVisible("S150");
  win.makeVisible("S300");
  QCoreApplication::processEvents();
  const QRect shown = w.outlineFile->viewport()->rect();
  EXPECT_TRUE(shown.intersects(w.outlineFile->visualItemRect(win.node("S300"))));
  EXPECT_FALSE(shown.intersects(w.outlineFile->visualItemRect(win.node("S2"))));

  win.clearTree();
  EXPECT_EQ(w.outlineFile->topLevelItemCount(), 0);
  EXPECT_EQ(win.node("S1"), nullptr);
  EXPECT_NO_THROW(win.addNode({std::nullopt, "S1", "after clearing", "closed", "open"}));
}

}  // namespace
}  // namespace quexa::testing
