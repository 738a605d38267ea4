#include "app/search_frame.h"

#include <gtest/gtest.h>

#include "app/error_policy.h"
#include "app/transcript.h"
#include "net/fetcher.h"

namespace quexa {
namespace {

class CountingFetcher : public Fetcher {
 public:
  FetchResult fetch(const std::string&, int) override { return {}; }
  void cancel() override { ++cancels; }
  void setProxy(AccessType, const std::string&) override {}
  int cancels = 0;
};

MainControls filledControls() {
  MainControls c;
  c.searchText[2] = "   ";  // a box of blanks counts as filled
  c.searchCatCount = 1;
  return c;
}

TEST(SearchInputChecks, RefusalsCarryTheirTextsAndTitles) {
  TranscriptWindow w;
  MainControls none;
  EXPECT_FALSE(checkSearchInputs(none, SearchKind::Sites, w));
  ASSERT_EQ(w.eventsOf(TranscriptEvent::Kind::Message).size(), 1u);
  EXPECT_EQ(w.events.back().text, "You must specify the text you want to search!");
  EXPECT_EQ(w.events.back().title, "Text Missing");
  EXPECT_EQ(w.status, "Initializing .....");

  MainControls noIndex = filledControls();
  noIndex.searchCatCount = 0;
  EXPECT_FALSE(checkSearchInputs(noIndex, SearchKind::Sites, w));
  EXPECT_EQ(w.events.back().title, "URL Missing");
  EXPECT_EQ(w.events.back().text, "You must specify at least one URL!");

  MainControls noEngine = filledControls();
  EXPECT_FALSE(checkSearchInputs(noEngine, SearchKind::Engines, w));
  EXPECT_EQ(w.events.back().title, "Search Engine Missing");
  EXPECT_EQ(w.events.back().text, "You must specify at least one search engine!");

  EXPECT_TRUE(checkSearchInputs(filledControls(), SearchKind::Sites, w));
  noEngine.settings.chkExcite = true;
  EXPECT_TRUE(checkSearchInputs(noEngine, SearchKind::Engines, w));
}

TEST(SearchFrame, RunningStateEndSequenceStopAndGuard) {
  AppState state;
  TranscriptWindow w;
  CountingFetcher f;
  state.stopRequest = 1;
  enterRunningState(state, w);
  EXPECT_EQ(state.searchRunning, 1);
  EXPECT_TRUE(w.lampBusy);
  EXPECT_FALSE(w.searchFrameVisible);
  EXPECT_FALSE(w.isEnabled(Control::searchNow));
  EXPECT_FALSE(w.isEnabled(Control::buttonView));
  EXPECT_TRUE(w.isEnabled(Control::searchStop));

  state.resetResults = 1;  // "&Main" was pressed: the tree is cleared once
  for (int i = 0; i < 2; ++i) resetForSearch(state, w);
  EXPECT_EQ(state.resetResults, 0);
  EXPECT_EQ(w.eventsOf(TranscriptEvent::Kind::ClearTree).size(), 1u);
  EXPECT_EQ(state.stopRequest, 0);
  EXPECT_EQ(w.resultLabel, "Found: 0");
  showFoundCount(state, w, 3);
  EXPECT_EQ(w.resultLabel, "Found:  3");
  EXPECT_EQ(state.foundStatus, "Found:  3");

  endSearch(state, w, f, EndReason::Completed);
  EXPECT_EQ(w.status, "Ready to search!");
  EXPECT_EQ(state.searchRunning, 0);
  EXPECT_FALSE(w.lampBusy);
  EXPECT_EQ(f.cancels, 1);
  EXPECT_TRUE(w.isEnabled(Control::buttonView));
  EXPECT_FALSE(w.isEnabled(Control::searchStop));
  // Start stays off until "&Main".
  EXPECT_FALSE(w.isEnabled(Control::searchNow));
  EXPECT_FALSE(w.searchFrameVisible);
  // A failure is never reported as a normal end.
  for (EndReason notNormal : {EndReason::Failed, EndReason::Stopped}) {
    endSearch(state, w, f, notNormal);
    EXPECT_EQ(w.status, "Search was stopped before its completion!");
  }

  // The guard refuses while a search runs; Stop asks it to end.
  EXPECT_TRUE(stopFirstGuard(state, w));
  state.searchRunning = 1;
  EXPECT_FALSE(stopFirstGuard(state, w));
  EXPECT_EQ(w.eventsOf(TranscriptEvent::Kind::Beep).size(), 1u);
  EXPECT_EQ(w.events.back().text, "You must stop the current search first!");
  EXPECT_EQ(w.events.back().title, "Search is not stopped");
  searchStop(state, w);
  EXPECT_EQ(state.stopRequest, 1);
  EXPECT_EQ(w.status, "Please wait while connection is being closed .....");
  EXPECT_TRUE(w.busyCursor);
}

TEST(ErrorPolicy, RetryRepeatsTheStepIgnoreEndsMissingFileSkips) {
  TranscriptWindow w;
  w.errorAnswers = {ErrorAnswer::Retry, ErrorAnswer::Ignore};
  int runs = 0;
  EXPECT_THROW(runStep(w, ErrorTable::Search,
                       [&] {
                         ++runs;
                         throw QuexaError(ErrorKind::DiskNotReady, "x");
                       }),
               SearchEnd);
  EXPECT_EQ(runs, 2);
  auto dialogs = w.eventsOf(TranscriptEvent::Kind::ErrorDialog);
  ASSERT_EQ(dialogs.size(), 2u);
  EXPECT_EQ(dialogs[0].text, "Disk not ready! ( 71)");

  runs = 0;
  runStep(w, ErrorTable::Search, [&] {
    if (runs++ == 0) throw QuexaError(ErrorKind::FileNotFound, "gone");
  });
  EXPECT_EQ(runs, 1);

  try {
    runStep(w, ErrorTable::Search, [] { throw std::runtime_error("odd"); });
    FAIL();
  } catch (const SearchEnd& e) {
    EXPECT_EQ(e.reason(), EndReason::Failed);
  }
  EXPECT_EQ(w.eventsOf(TranscriptEvent::Kind::ErrorDialog).size(), 2u);
}

TEST(ErrorPolicy, TablesKeepTheirOwnWording) {
  EXPECT_EQ(*errorMessage(ErrorTable::Search, 14),
            "No enough memory! Please colse some applications!");
  EXPECT_EQ(*errorMessage(ErrorTable::Search, 31037),
            "Fail to load file! Contack your software ventor!");
  EXPECT_EQ(*errorMessage(ErrorTable::Print, 31037),
            "Fail to load file! COntack your software ventor!");
  EXPECT_FALSE(errorMessage(ErrorTable::Search, 53));
  EXPECT_TRUE(errorMessage(ErrorTable::Save, 53));
  EXPECT_TRUE(errorMessage(ErrorTable::Print, 68));
  EXPECT_FALSE(errorMessage(ErrorTable::Save, 68));
  EXPECT_FALSE(errorMessage(ErrorTable::Save, 482));
}

}  // namespace
}  // namespace quexa
