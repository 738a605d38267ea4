// The page view of a selected tree node over a loopback server and the real
// matching library: the site-mode one-page search with its busy state and
// failures, and the engine-mode hit detail with each engine's rules; then the
// pane handlers without a fetch.
#include "results/page_view.h"

#include <gtest/gtest.h>

#include "app/search_frame.h"
#include "app/transcript.h"
#include "results/documents.h"
#include "results/node_keys.h"
#include "results/pane_handlers.h"
#include "support/pane_search_fixture.h"
#include "support/window_events.h"

namespace quexa {
namespace {

using test::HttpTestServer;
using Kind = TranscriptEvent::Kind;

// Answers every request with an empty body and records the URLs asked for;
// for keys that are no Web address.
class EmptyFetcher : public Fetcher {
 public:
  std::vector<std::string> urls;
  FetchResult fetch(const std::string& url, int) override {
    urls.push_back(url);
    return {};
  }
  void cancel() override {}
  void setProxy(AccessType, const std::string&) override {}
};

struct PageViewTest : test::PaneSearchTest {
  std::vector<std::string> attempts;
  ResultTools tools{state, window,  fetcher,
                    pump,  matcher, [this](const std::string& url) { attempts.push_back(url); }};

  void SetUp() override {
    server.on("/page",
              HttpTestServer::page("<html><head><title>needle</title></head><body><p>the needle is "
                                   "here</p></body></html>"));
    server.on("/plain", HttpTestServer::page("<html><body><p>nothing to see</p></body></html>"));
    server.on("/upper/path", HttpTestServer::page("<body>a needle</body>"));
  }

  void click(const std::string& key, bool hasChildren = false) {
    outlineFile_NodeClick(tools, controls, key, hasChildren);
  }
  std::string pageKey(const std::string& path) { return pageNodeKey(3, server.url(path)); }

  void expectIdleWindow() {
    EXPECT_EQ(window.status, kStatusReady);
    expectIdle();
  }
};

TEST_F(PageViewTest, SiteModeShowsTheMatchViewInItsBusyStateNothingWithoutAMatchAndErrorsInRed) {
  window.disabled.insert(Control::searchStop);
  pump.onPump = [this](int) {
    expectBusy();
    EXPECT_TRUE(window.lampBusy);
  };
  click(pageKey("/page"));

  const std::string url = server.url("/page");
  EXPECT_EQ(state.selectedPageUrl, url);
  EXPECT_EQ(attempts, std::vector<std::string>{url});
  EXPECT_GE(pump.count, 1);
  // The extract comes from the body only: the title's needle is cut away.
  EXPECT_EQ(window.paneDocuments(Pane::Page),
            std::vector<std::string>{
                pageMatchView(url, matchingBody("the {\\b\\cf1 needle} is here\\par "))});
  ASSERT_FALSE(window.eventsOf(Kind::Reset).empty());
  EXPECT_EQ(window.eventsOf(Kind::Reset).front().pane, Pane::Page);
  EXPECT_TRUE(window.eventsOf(Kind::Found).empty());
  EXPECT_TRUE(window.paneDocuments(Pane::All).empty());
  EXPECT_EQ(test::eventTexts(window, Kind::Status),
            (std::vector<std::string>{"Searching " + url, kStatusReady, kStatusReady}));
  expectIdleWindow();

  // Without a match the pane stays blank; a server error shows in red.
  window.events.clear();
  pump.onPump = nullptr;
  click(pageKey("/plain"));
  EXPECT_TRUE(window.paneDocuments(Pane::Page).empty());
  EXPECT_EQ(window.eventsOf(Kind::Reset).size(), 1u);
  expectIdleWindow();

  // Empty after its retries: matched as an empty page. A stop left from an
  // earlier search does not cut the retries short.
  state.stopRequest = 1;
  click(pageKey("/empty"));
  EXPECT_EQ(server.requestCount("/empty"), 2u);
  EXPECT_TRUE(window.paneDocuments(Pane::Page).empty());
  expectIdleWindow();

  click(pageKey("/missing"));
  EXPECT_EQ(window.paneDocuments(Pane::Page),
            std::vector<std::string>{pageMatchView(server.url("/missing"), serverErrorBody())});
  expectIdleWindow();
}

TEST_F(PageViewTest, FetchesTheLowerCasedKeyOfANodeWithoutChildrenAndOnlyShowsReadyForOneWith) {
  click("Yahoo 1HTTP://127.0.0.1:" + std::to_string(server.port()) + "/Upper/PATH");
  EXPECT_EQ(server.requestCount("/upper/path"), 1u);
  EXPECT_EQ(state.selectedPageUrl, server.url("/upper/path"));
  EXPECT_EQ(window.paneDocuments(Pane::Page).size(), 1u);

  // The index node of a search that listed nothing is fetched as its key.
  EmptyFetcher empty;
  ResultTools emptyTools{state, window, empty, pump, matcher};
  outlineFile_NodeClick(emptyTools, controls, indexNodeKey("My Sites"), false);
  EXPECT_EQ(empty.urls, (std::vector<std::string>{"my sites\\", "my sites\\"}));
  EXPECT_EQ(state.selectedPageUrl, "my sites\\");
  EXPECT_EQ(window.paneDocuments(Pane::Page).size(), 0u);
  expectIdleWindow();

  // A node with children only shows Ready, in both modes.
  window.events.clear();
  attempts.clear();
  state.selectedPageUrl = "http://before/";
  for (bool siteMode : {true, false}) {
    controls.frameMineEnabled = siteMode;
    click(indexNodeKey("Sites"), true);
    click(engineNodeKey(kEngineNodeNames[0]), true);
  }
  EXPECT_TRUE(attempts.empty());
  EXPECT_EQ(test::eventTexts(window, Kind::Status), std::vector<std::string>(4, kStatusReady));
  for (Kind kind : {Kind::Reset, Kind::Clear, Kind::Insert, Kind::Found})
    EXPECT_TRUE(window.eventsOf(kind).empty());
  EXPECT_EQ(state.selectedPageUrl, "http://before/");
  EXPECT_FALSE(window.lampBusy);
}

TEST_F(PageViewTest, FailuresEndTheViewAndLeaveTheWindowIdle) {
  controls.settings.timeoutText = "soon";  // the conversion error ends it quietly
  click(pageKey("/page"));
  EXPECT_TRUE(attempts.empty());
  EXPECT_TRUE(window.eventsOf(Kind::ErrorDialog).empty());
  EXPECT_EQ(window.status, kStatusReady);
  EXPECT_FALSE(window.lampBusy);

  // The time-outs used up end the view, not the program's usability.
  controls.settings.timeoutText = "1";
  controls.settings.retryText = "0";
  click(pageKey("/silent"));
  EXPECT_EQ(server.requestCount("/silent"), 1u);
  EXPECT_TRUE(window.paneDocuments(Pane::Page).empty());
  expectIdleWindow();

  // A library that cannot be loaded asks Abort / Retry / Ignore; Retry runs
  // the match again, Ignore ends the view.
  controls.settings.timeoutText = "2";
  DlMatcher missingLibrary("libquexa-absent.so");
  ResultTools noLibrary{state, window, fetcher, pump, missingLibrary};
  window.errorAnswers = {ErrorAnswer::Retry, ErrorAnswer::Ignore};
  outlineFile_NodeClick(noLibrary, controls, pageKey("/page"), false);
  const auto dialogs = window.eventsOf(Kind::ErrorDialog);
  ASSERT_EQ(dialogs.size(), 2u);
  EXPECT_EQ(dialogs[0].text, "No enough memory! Please close some applications! ( 298)");
  EXPECT_TRUE(window.paneDocuments(Pane::Page).empty());
  expectIdleWindow();

  // The window works again: the next view searches.
  click(pageKey("/page"));
  EXPECT_EQ(window.paneDocuments(Pane::Page).size(), 1u);
}

// Engine mode: the hit text of the store after the rules of the key's engine.
struct HitDetailViewTest : PageViewTest {
  const std::string url = "http://hits.test/page";

  void SetUp() override {
    PageViewTest::SetUp();
    controls.frameMineEnabled = false;
  }
  std::string show(std::string_view keyPrefix, const std::string& rawBlock,
                   const std::string& hitUrl = "http://hits.test/page") {
    state.engineHitBuffer.clear();
    state.engineHitBuffer.appendUrl("http://other.test/");
    state.engineHitBuffer.appendBlock("not this one");
    state.engineHitBuffer.appendUrl(hitUrl);
    state.engineHitBuffer.appendBlock(rawBlock);
    window.events.clear();
    click(std::string(keyPrefix) + " 2" + hitUrl);
    const auto docs = window.paneDocuments(Pane::Page);
    EXPECT_EQ(docs.size(), 1u);
    return docs.empty() ? "" : docs[0];
  }
};

// The window's own test checks that the hit is not fetched; each engine's
// rules are the hit detail's own. Here the pane, the linked search offered,
// and that the engine comes from the whole key.
TEST_F(HitDetailViewTest, ShowsTheHitByTheWholeKeysEngineInAClearedPane) {
  window.disabled.insert(Control::searchPage);
  state.linkStatus = "Links: 4/9";
  EXPECT_EQ(show("Lycos", "<b>Title</b></a>Words"),
            hitDetailView(hitDetail("Title", url, "Words")));
  EXPECT_EQ(state.selectedPageUrl, url);
  EXPECT_TRUE(window.isEnabled(Control::searchPage));
  EXPECT_EQ(window.resultLabel, "Links: 0/0");
  EXPECT_EQ(state.linkStatus, "Links: 0/0");
  ASSERT_EQ(window.eventsOf(Kind::Clear).size(), 1u);  // cleared, no blank inserted
  EXPECT_EQ(window.eventsOf(Kind::Clear)[0].pane, Pane::Page);
  EXPECT_TRUE(window.eventsOf(Kind::Reset).empty());
  EXPECT_EQ(window.status, kStatusReady);
  EXPECT_FALSE(window.lampBusy);
  EXPECT_EQ(state.searchRunning, 0);

  // "yahoo" in the URL wins over the Lycos prefix: the Yahoo! rules apply.
  const std::string yahooUrl = "http://yahoo.test/";
  EXPECT_EQ(show("Lycos", "Title</a>Desc", yahooUrl),
            hitDetailView(hitDetail("Title", yahooUrl, "Desc")));
  // A key without an engine word shows the hit text unchanged.
  EXPECT_EQ(show("Other", "Raw <b>text</b>"), hitDetailView(unsplitHitDetail("Raw <b>text</b>")));

  // A hit left from an earlier engine search: empty detail, no failure.
  state.engineHitBuffer.clear();
  window.events.clear();
  click(hitNodeKey(kEngineNodeNames[0], 1, url));
  EXPECT_EQ(window.paneDocuments(Pane::Page), std::vector<std::string>{hitDetailView("")});
  EXPECT_EQ(state.selectedPageUrl, url);
  EXPECT_EQ(window.status, kStatusReady);
}

// The label of a tab switch and "&Found". The click guards are checked by
// clicks on the window's panes.
TEST(DispTabLabel, ShowsTheLinksStatusOnlyOnTheEachSiteTabInEngineModeAndViewPrevTheResults) {
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
