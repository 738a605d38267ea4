// "Search Web Site" over loopback servers and the real matching library:
// the single-page and all-links counts and entries, the crawl's limits, Stop,
// and failures that end it without a dialog.
#include "search/linked_search.h"

#include <gtest/gtest.h>

#include "app/search_frame.h"
#include "app/transcript.h"
#include "results/documents.h"
#include "results/rtf_blocks.h"
#include "support/pane_search_fixture.h"
#include "support/window_events.h"

namespace quexa {
namespace {

using test::HttpTestServer;
using Kind = TranscriptEvent::Kind;

std::vector<std::string> paths(const HttpTestServer& server) {
  std::vector<std::string> out;
  for (const auto& r : server.requests()) out.push_back(r.path);
  return out;
}

struct LinkedSearchTest : test::PaneSearchTest {
  HttpTestServer otherHost;
  ResultTools tools{state, window, fetcher, pump, matcher};

  void SetUp() override {
    state.foundStatus = "Found:  4";
    otherHost.otherwise(HttpTestServer::page("<body>needle elsewhere</body>"));
    otherHost.start();
    server.on("/start", HttpTestServer::page(
                            "<html><body><p>start page</p><a href=\"/a\">a</a> <a "
                            "href=\"b.html\">b</a> <a href=\"http://localhost:" +
                            std::to_string(otherHost.port()) +
                            "/x\">other host</a> <a href=\"mailto:me@mail.test\">mail</a> <a "
                            "href=\"/start\">self</a> <a href=\"/pic.gif\">pic</a></body></html>"));
    server.on("/a", HttpTestServer::page("<body><p>a needle here</p><a href=\"/start\">back</a>"
                                         "</body>"));
    server.on("/b.html", HttpTestServer::page("<body><p>nothing</p></body>"));
    server.on("/hub", HttpTestServer::page("<body><p>needle hub</p><a href=\"/b.html\">b</a>"
                                           "</body>"));
    server.on("/gone", HttpTestServer::errorPage(
                           404, "<html><body>Not Found <a href=\"/near\">near</a></body></html>"));
    server.on("/near", HttpTestServer::page("<body><p>needle not found</p></body>"));
  }

  LinkedSearchResult search(const std::string& path, bool allLinks) {
    controls.settings.optSearchAll = allLinks;
    state.selectedPageUrl = server.url(path);
    return searchPage_Click(tools, controls);
  }

  // A linked page entry of a matching page: the URL in bold blue, then the
  // library's lines, which hold the marked text.
  void expectMatchEntry(const std::string& document, const std::string& url,
                        const std::string& marked) {
    const std::string empty = linkedPageEntry(url, matchingBody(""));
    const std::string head = empty.substr(0, empty.size() - 2);
    EXPECT_EQ(document.substr(0, head.size()), head);
    EXPECT_NE(document.find("{\\b\\cf1 " + marked + "}"), std::string::npos) << document;
  }

  void expectIdleAndUntouchedResults() {
    expectIdle();
    EXPECT_EQ(state.foundStatus, "Found:  4");
    EXPECT_TRUE(window.eventsOf(Kind::Node).empty());
    for (const auto& e : window.events) {
      if (e.kind == Kind::Insert || e.kind == Kind::Clear) {
        EXPECT_EQ(e.pane, Pane::Page);
      }
    }
  }
};

TEST_F(LinkedSearchTest, SinglePageListsTheOnePageAlwaysAndCountsOneOverOne) {
  LinkedSearchResult r = search("/a", false);
  EXPECT_EQ(r.reason, EndReason::Completed);
  EXPECT_EQ(paths(server), std::vector<std::string>{"/a"});  // its links are not followed
  const auto docs = window.paneDocuments(Pane::Page);
  ASSERT_EQ(docs.size(), 1u);
  expectMatchEntry(docs[0], server.url("/a"), "needle");
  EXPECT_EQ(test::eventTexts(window, Kind::Found),
            (std::vector<std::string>{"Links: 0/0", "Links: 0/0", "Links: 1/1"}));
  EXPECT_EQ(state.linkStatus, "Links: 1/1");
  EXPECT_EQ(test::eventTexts(window, Kind::Status),
            (std::vector<std::string>{kStatusInitializing, "Searching " + server.url("/a"),
                                      kStatusReady}));
  expectIdleAndUntouchedResults();
}

TEST_F(LinkedSearchTest, SinglePageWithoutAMatchOrWithAServerErrorCountsZeroOverOne) {
  // Empty after its retries, a page is listed as no match.
  for (const auto& [path, body] : {std::pair{"/b.html", noMatchBody()},
                                   {"/missing", linkedServerErrorBody()},
                                   {"/empty", noMatchBody()}}) {
    search(path, false);
    EXPECT_EQ(window.paneDocuments(Pane::Page),
              std::vector<std::string>{linkedPageEntry(server.url(path), body)});
    EXPECT_EQ(window.resultLabel, "Links: 0/1") << path;
    EXPECT_EQ(state.linkStatus, "Links: 0/1") << path;
  }
  EXPECT_EQ(server.requestCount("/empty"), 2u);
  expectIdleAndUntouchedResults();
}

TEST_F(LinkedSearchTest, AllLinksFollowsOnlyNewLinksOfTheSameHost) {
  pump.onPump = [this](int) { expectBusy(); };
  LinkedSearchResult r = search("/start", true);
  EXPECT_EQ(r.reason, EndReason::Completed);
  // Not the other host, the mail link, the page itself again or the picture.
  EXPECT_EQ(paths(server), (std::vector<std::string>{"/start", "/a", "/b.html"}));
  EXPECT_EQ(otherHost.requestCount(), 0u);
  const auto docs = window.paneDocuments(Pane::Page);
  ASSERT_EQ(docs.size(), 1u);  // only the matching page
  expectMatchEntry(docs[0], server.url("/a"), "needle");
  EXPECT_EQ(r.linkedMatched, 1);
  EXPECT_EQ(r.linkedFetched, 3);
  EXPECT_EQ(test::eventTexts(window, Kind::Found),
            (std::vector<std::string>{"Links: 0/0", "Links: 0/0", "Links: 0/1", "Links: 1/2",
                                      "Links: 1/3"}));
  EXPECT_EQ(window.status, kStatusReady);
  expectIdleAndUntouchedResults();
}

TEST_F(LinkedSearchTest, AllLinksListsAServerErrorOfTheFirstPageOnlyAndCountsItAsFetched) {
  LinkedSearchResult r = search("/gone", true);
  const auto docs = window.paneDocuments(Pane::Page);
  ASSERT_EQ(docs.size(), 2u);
  EXPECT_EQ(docs[0], linkedPageEntry(server.url("/gone"), serverErrorBody()));
  // Short and saying "not found", but not the first page: a match.
  expectMatchEntry(docs[1], server.url("/near"), "needle");
  EXPECT_EQ(window.resultLabel, "Links: 1/2");
  EXPECT_EQ(r.reason, EndReason::Completed);
}

TEST_F(LinkedSearchTest, AllLinksDropsAStartUrlWithASkipWordUnfetchedAndUncounted) {
  LinkedSearchResult r = search("/run.cgi", true);
  EXPECT_EQ(server.requestCount(), 0u);
  EXPECT_EQ(window.resultLabel, "Links: 0/0");
  EXPECT_EQ(r.linkedFetched, 0);
  EXPECT_TRUE(window.paneDocuments(Pane::Page).empty());
  EXPECT_EQ(window.status, kStatusReady);
  expectIdleAndUntouchedResults();
}

TEST_F(LinkedSearchTest, StopDuringTheCrawlEndsBeforeTheNextFetchAndKeepsTheEntries) {
  state.stopRequest = 1;  // left from an earlier search: cleared at the start
  pump.onPump = [this](int) { state.stopRequest = 1; };
  LinkedSearchResult r = search("/hub", true);
  EXPECT_EQ(r.reason, EndReason::Stopped);
  EXPECT_EQ(paths(server), std::vector<std::string>{"/hub"});
  const auto docs = window.paneDocuments(Pane::Page);
  ASSERT_EQ(docs.size(), 1u);
  expectMatchEntry(docs[0], server.url("/hub"), "needle");
  EXPECT_EQ(window.resultLabel, "Links: 1/1");
  EXPECT_EQ(window.status, kStatusStopped);
  expectIdleAndUntouchedResults();
}

TEST_F(LinkedSearchTest, FailuresEndItWithoutADialog) {
  DlMatcher missingLibrary("libquexa-absent.so");
  ResultTools noLibrary{state, window, fetcher, pump, missingLibrary};
  controls.settings.optSearchAll = false;
  state.selectedPageUrl = server.url("/a");
  LinkedSearchResult r = searchPage_Click(noLibrary, controls);
  EXPECT_EQ(r.reason, EndReason::Failed);
  EXPECT_TRUE(window.paneDocuments(Pane::Page).empty());
  EXPECT_EQ(window.status, kStatusStopped);
  expectIdleAndUntouchedResults();

  controls.settings.timeoutText = "1";
  controls.settings.retryText = "0";
  r = search("/silent", true);  // the time-outs used up
  EXPECT_EQ(r.reason, EndReason::Failed);
  EXPECT_EQ(server.requestCount("/silent"), 1u);
  EXPECT_EQ(window.status, kStatusStopped);
  EXPECT_TRUE(window.eventsOf(Kind::ErrorDialog).empty());
  EXPECT_TRUE(window.eventsOf(Kind::Message).empty());
  expectIdleAndUntouchedResults();
}

}  // namespace
}  // namespace quexa
