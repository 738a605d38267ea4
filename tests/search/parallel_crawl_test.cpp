// Crawls over several connections against the same crawl over one: the
// transcript, event for event, is the same, also when the search is
// stopped, and the empty-answer retries still make their real requests.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <sstream>

#include "app/transcript.h"
#include "search/linked_search.h"
#include "search/site_fixture.h"
#include "support/http_test_server.h"

namespace quexa {
namespace {

using test::HttpTestServer;
using testing::link;
using Kind = TranscriptEvent::Kind;

// Thirty pages with three links each (some back, some to images, anchors
// and another host), an always-empty page, a page that is empty only the
// first time, and a pause before every answer.
struct DelayedSite {
  HttpTestServer server;
  std::atomic<int> flakyCalls{0};

  DelayedSite() {
    server.on("/empty.html", [this](const httplib::Request&, httplib::Response& res) {
      server.pause(std::chrono::milliseconds(5));
      res.set_content("", "text/html");
    });
    server.on("/flaky.html", [this](const httplib::Request&, httplib::Response& res) {
      server.pause(std::chrono::milliseconds(5));
      res.set_content(++flakyCalls == 1 ? "" : "<html><body>needle flaky</body></html>",
                      "text/html");
    });
    server.otherwise([this](const httplib::Request& req, httplib::Response& res) {
      server.pause(std::chrono::milliseconds(5));
      res.set_content(pageAt(req.path), "text/html");
    });
    server.start();
  }

  std::string pageAt(const std::string& path) const {
    int n = 0;
    if (path.rfind("/p", 0) == 0) n = std::atoi(path.c_str() + 2);
    std::string body = "<html><body>";
    body += (n % 3 == 0) ? "needle on page " : "plain page ";
    for (int k = 1; k <= 3; ++k) body += link("p" + std::to_string((n * 3 + k) % 30) + ".html");
    body += link("pic.gif") + link("p1.html#top") + link("http://other.invalid/x.html");
    if (n == 4) body += link("empty.html") + link("index.html");
    return body + "</body></html>";
  }
};

// Every event on one line; every run has its own server, whose address is
// written as SITE.
std::vector<std::string> describeAll(const std::vector<TranscriptEvent>& events,
                                     const std::string& site) {
  std::vector<std::string> lines;
  for (const auto& e : events) {
    std::ostringstream out;
    out << static_cast<int>(e.kind) << "|" << e.text << "|" << e.parentKey.value_or("-") << "|"
        << e.key << "|" << e.image << "|" << e.expandedImage.value_or("-") << "|"
        << static_cast<int>(e.pane) << "|" << e.title;
    std::string line = out.str();
    for (size_t at = line.find(site); at != std::string::npos; at = line.find(site, at))
      line.replace(at, site.size(), "SITE");
    lines.push_back(line);
  }
  return lines;
}

// The site search's harness over one or more connections, crawling every
// link and retrying an empty answer twice.
struct CrawlRun : testing::SiteSearchHarness {
  explicit CrawlRun(int connections) : SiteSearchHarness(connections) {
    controls.settings.retryText = "2";
  }

  // Stops the search (as Ctrl-C does) at the pump after the nth attempt.
  void stopAfterAttempt(size_t n) {
    pump.onPump = [this, n](int) {
      if (window.eventsOf(Kind::Fetch).size() >= n) state.stopRequest = 1;
    };
  }

  std::optional<EndReason> sites(const std::string& url) { return run({url}, true); }

  LinkedSearchResult linked(const std::string& url) {
    controls.settings.optSearchAll = true;
    state.selectedPageUrl = url;
    ResultTools tools{state, window, fetcher, pump, *matcher};
    return searchPage_Click(tools, controls);
  }
};

// Both link rules (classic last: its whole crawl is the stopped ones' measure).
TEST(ParallelCrawlSites, MoreConnectionsGiveTheOneConnectionTranscriptAlsoWhenStopped) {
  std::vector<std::string> whole;
  for (bool standardLinks : {true, false})
    for (int connections : {1, 4, 16}) {
      DelayedSite site;
      CrawlRun run(connections);
      run.controls.standardLinks = standardLinks;
      run.controls.ignoreRobots = true;
      EXPECT_EQ(run.sites(site.server.url("")), EndReason::Completed);
      const std::vector<std::string> transcript =
          describeAll(run.window.events, site.server.url(""));
      if (connections == 1) whole = transcript;
      EXPECT_EQ(transcript, whole) << connections << standardLinks;
      // The always-empty page: its first answer and both retries, each a real
      // request (an early answer is never reused for a retry).
      EXPECT_EQ(run.attemptsAt(site.server.url("/empty.html")), 3u) << connections;
      EXPECT_EQ(site.server.requestCount("/empty.html"), 3u) << connections;
      EXPECT_GE(run.window.eventsOf(Kind::Node).size(), 10u);
    }
  std::vector<std::string> stoppedOnOne;
  for (int connections : {1, 4}) {
    DelayedSite site;
    CrawlRun run(connections);
    run.stopAfterAttempt(12);
    EXPECT_EQ(run.sites(site.server.url("")), EndReason::Stopped);
    const std::vector<std::string> stopped = describeAll(run.window.events, site.server.url(""));
    if (connections == 1) stoppedOnOne = stopped;
    EXPECT_EQ(stopped, stoppedOnOne);
    EXPECT_EQ(run.window.eventsOf(Kind::Fetch).size(), 12u);
    // Up to its last attempt the stopped crawl is the whole crawl's beginning.
    size_t lastFetch = 0;
    for (size_t i = 0; i < run.window.events.size(); ++i)
      if (run.window.events[i].kind == Kind::Fetch) lastFetch = i;
    ASSERT_LT(lastFetch, whole.size());
    EXPECT_TRUE(std::equal(stopped.begin(), stopped.begin() + static_cast<long>(lastFetch) + 1,
                           whole.begin()));
  }
}

TEST(ParallelCrawlSites, AnEmptyEarlyAnswerIsRetriedForRealAndThePageListed) {
  DelayedSite site;
  site.server.on("/", HttpTestServer::page("<html><body>" + link("flaky.html") + "</body></html>"));
  CrawlRun run(4);
  EXPECT_EQ(run.sites(site.server.url("")), EndReason::Completed);
  EXPECT_EQ(run.attemptsAt(site.server.url("/flaky.html")), 2u);
  EXPECT_EQ(site.server.requestCount("/flaky.html"), 2u);
  EXPECT_TRUE(run.window.hasNode("Yahoo 1" + site.server.url("/flaky.html")));
}

TEST(ParallelCrawlLinked, TheLinkedPageSearchIsTheSameOverFourConnections) {
  std::vector<std::vector<std::string>> transcripts;
  for (int connections : {1, 4}) {
    DelayedSite site;
    CrawlRun run(connections);
    const LinkedSearchResult result = run.linked(site.server.url("/p1.html"));
    EXPECT_EQ(result.reason, EndReason::Completed);
    EXPECT_GE(result.linkedFetched, 30);
    transcripts.push_back(describeAll(run.window.events, site.server.url("")));
  }
  EXPECT_EQ(transcripts[1], transcripts[0]);
}

}  // namespace
}  // namespace quexa
