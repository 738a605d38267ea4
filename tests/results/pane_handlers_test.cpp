// The click guards, the label of a tab switch and "&Found".
#include "results/pane_handlers.h"

#include <gtest/gtest.h>

#include "app/transcript.h"

namespace quexa {
namespace {

using Kind = TranscriptEvent::Kind;

TEST(PaneClickGuards, BeepAndKeepTheCaretAtTheEndOnlyWhileTheirWriterRuns) {
  AppState state;
  TranscriptWindow window;
  EXPECT_FALSE(allWebResult_Click(state, window));
  EXPECT_FALSE(dispResult_Click(state, window));
  EXPECT_TRUE(window.eventsOf(Kind::Beep).empty());

  state.searchRunning = 1;  // a search writes allWebResult
  EXPECT_TRUE(allWebResult_Click(state, window));
  EXPECT_FALSE(dispResult_Click(state, window));
  EXPECT_EQ(window.eventsOf(Kind::Beep).size(), 1u);

  state.searchRunning = 0;
  state.paneBusy = 1;  // a page view or linked-page search writes dispResult
  EXPECT_FALSE(allWebResult_Click(state, window));
  EXPECT_TRUE(dispResult_Click(state, window));
  EXPECT_EQ(window.eventsOf(Kind::Beep).size(), 2u);
}

TEST(DispTabLabel, ShowsTheLinksStatusOnlyOnTheEachSiteTabInEngineMode) {
  AppState state;
  state.foundStatus = "Found:  7";
  state.linkStatus = "Links: 2/5";
  EXPECT_EQ(dispTabLabel(state, false, ResultTab::AllWebSites), "Found:  7");
  EXPECT_EQ(dispTabLabel(state, false, ResultTab::EachWebSite), "Links: 2/5");
  EXPECT_EQ(dispTabLabel(state, true, ResultTab::AllWebSites), "Found:  7");
  EXPECT_EQ(dispTabLabel(state, true, ResultTab::EachWebSite), "Found:  7");

  TranscriptWindow window;
  dispTab_Click(state, window, false, ResultTab::EachWebSite);
  EXPECT_EQ(window.resultLabel, "Links: 2/5");
  dispTab_Click(state, window, false, ResultTab::AllWebSites);
  EXPECT_EQ(window.resultLabel, "Found:  7");
}

TEST(ViewPrev, ShowsTheResultViewWithTheSetUpCommandsOff) {
  TranscriptWindow window;
  window.disabled = {Control::searchConfig, Control::searchSave, Control::searchPrint};
  viewPrev_Click(window);
  EXPECT_FALSE(window.searchFrameVisible);
  EXPECT_EQ(window.disabled,
            (std::set<Control>{Control::viewPrev, Control::searchNow, Control::searchStop,
                               Control::buttonMine, Control::buttonEngine, Control::buttonIndex,
                               Control::buttonTimer}));
}

}  // namespace
}  // namespace quexa
