// The fetcher that fetches ahead: what it sends to a loopback server, which
// early answers it hands over and when it must ask again.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "match/prepared_page.h"
#include "net/curl_fetcher.h"
#include "net/fetch_page.h"
#include "net/parallel_fetcher.h"
#include "support/counting_pump.h"
#include "support/http_test_server.h"

namespace quexa {
namespace {

using test::CountingPump;
using test::HttpTestServer;

std::string pageFor(const std::string& path) {
  return "<html><body>page " + path + "</body></html>";
}

// Every path answers with its own page after a short pause, and the server
// notes how many requests it served at once.
struct BusySite {
  HttpTestServer server;
  std::atomic<int> running{0};
  std::atomic<int> mostAtOnce{0};

  explicit BusySite(std::chrono::milliseconds pause = std::chrono::milliseconds(30)) {
    server.otherwise([this, pause](const httplib::Request& req, httplib::Response& res) {
      const int now = ++running;
      int seen = mostAtOnce.load();
      while (now > seen && !mostAtOnce.compare_exchange_weak(seen, now)) {
      }
      server.pause(pause);
      res.set_content(pageFor(req.path), "text/html");
      --running;
    });
    server.start();
  }
  std::string url(int i) const { return server.url("/p" + std::to_string(i) + ".html"); }
  std::string path(int i) const { return "/p" + std::to_string(i) + ".html"; }
};

// Each page comes back with what the crawl's preparer makes of it, whether
// it arrived ahead (prepared on a worker) or was fetched when asked for.
TEST(ParallelFetcherAhead, HintedPagesComeBackInAnyOrderAskedAndEachIsRequestedOnce) {
  BusySite site;
  CountingPump pump;
  ParallelFetcher fetcher(pump, 4);
  fetcher.setPreparer(classicCrawlPreparer("127.0.0.1"));
  std::vector<std::string> urls;
  for (int i = 0; i < 12; ++i) urls.push_back(site.url(i));

  for (size_t i = 0; i < urls.size(); ++i) {
    fetcher.hintUpcoming(std::vector<std::string>(urls.begin() + static_cast<long>(i), urls.end()));
    EXPECT_LE(fetcher.keptCount(), 8u);
    const FetchResult r = fetcher.fetch(urls[i], 5);
    EXPECT_EQ(r.status, FetchStatus::Ok);
    EXPECT_EQ(r.httpStatus, 200);
    EXPECT_EQ(r.body, pageFor(site.path(static_cast<int>(i))));
    const std::shared_ptr<PreparedPage> prepared = fetcher.takePrepared();
    ASSERT_NE(prepared, nullptr);
    EXPECT_EQ(prepared->bodyText, cutAtBody(r.body));
    EXPECT_EQ(fetcher.takePrepared(), nullptr);  // taken once
  }
  for (int i = 0; i < 12; ++i) EXPECT_EQ(site.server.requestCount(site.path(i)), 1u) << i;
  EXPECT_GT(site.mostAtOnce.load(), 1);
  EXPECT_LE(site.mostAtOnce.load(), 4);
  fetcher.setPreparer(nullptr);
  fetcher.fetch(urls[0], 5);
  EXPECT_EQ(fetcher.takePrepared(), nullptr);
}

TEST(ParallelFetcherAhead, NeverMoreTransfersAtOnceThanConnectionsEvenWhenHintedFar) {
  BusySite site(std::chrono::milliseconds(40));
  CountingPump pump;
  ParallelFetcher fetcher(pump, 2);
  std::vector<std::string> urls;
  for (int i = 0; i < 10; ++i) urls.push_back(site.url(i));
  fetcher.hintUpcoming(urls);
  // Asked out of the hinted order: the search's own request still gets a
  // connection and the total stays at two.
  EXPECT_EQ(fetcher.fetch(urls[9], 5).body, pageFor(site.path(9)));
  for (int i = 0; i < 9; ++i) {
    fetcher.hintUpcoming(std::vector<std::string>(urls.begin() + i, urls.end()));
    EXPECT_EQ(fetcher.fetch(urls[static_cast<size_t>(i)], 5).body, pageFor(site.path(i)));
  }
  EXPECT_LE(site.mostAtOnce.load(), 2);
  EXPECT_EQ(ParallelFetcher(pump, 40).connections(), 16);
  EXPECT_EQ(ParallelFetcher(pump, 0).connections(), 1);
}

TEST(ParallelFetcherReuse, AnEarlyAnswerIsUsedOnceAndOnlyWithTheSameTimeout) {
  BusySite site(std::chrono::milliseconds(150));
  CountingPump pump;
  ParallelFetcher fetcher(pump, 4);
  ASSERT_EQ(fetcher.fetch(site.url(0), 7).status, FetchStatus::Ok);  // sets the time-out

  fetcher.hintUpcoming({site.url(1), site.url(2), site.url(3)});
  EXPECT_EQ(fetcher.fetch(site.url(1), 7).body, pageFor(site.path(1)));
  // 2 was fetched ahead with 7 seconds: asked with 9 it is requested again.
  EXPECT_EQ(fetcher.fetch(site.url(2), 9).body, pageFor(site.path(2)));
  EXPECT_EQ(site.server.requestCount(site.path(2)), 2u);
  // A second ask for a page already handed over is a new request.
  EXPECT_EQ(fetcher.fetch(site.url(1), 7).body, pageFor(site.path(1)));
  EXPECT_EQ(site.server.requestCount(site.path(1)), 2u);
}

TEST(ParallelFetcherReuse, URLsNoLongerHintedAreDroppedAndKeptAnswersAreCapped) {
  BusySite site(std::chrono::milliseconds(5));
  CountingPump pump;
  ParallelFetcher fetcher(pump, 2);
  // Nothing is fetched ahead before the search's time-out is known.
  fetcher.hintUpcoming({site.url(40)});
  EXPECT_EQ(fetcher.keptCount(), 0u);
  ASSERT_EQ(fetcher.fetch(site.url(40), 30).status, FetchStatus::Ok);

  std::vector<std::string> many;
  for (int i = 0; i < 20; ++i) many.push_back(site.url(i));
  fetcher.hintUpcoming(many);
  EXPECT_LE(fetcher.keptCount(), 4u);
  fetcher.hintUpcoming({site.url(30)});
  EXPECT_EQ(fetcher.fetch(site.url(30), 30).body, pageFor("/p30.html"));
  for (int i = 4; i < 20; ++i) EXPECT_EQ(site.server.requestCount(site.path(i)), 0u) << i;
}

TEST(ParallelFetcherCancel, CancelDropsEveryKeptAnswerAndAbandonsTheRunningFetch) {
  HttpTestServer server;
  server.on("/slow", server.silence(std::chrono::seconds(10)));
  server.otherwise(HttpTestServer::page("<html><body>fast</body></html>"));
  server.start();
  CountingPump pump;
  ParallelFetcher fetcher(pump, 4);
  ASSERT_EQ(fetcher.fetch(server.url("/c"), 30).status, FetchStatus::Ok);
  fetcher.hintUpcoming({server.url("/a"), server.url("/b")});
  fetcher.cancel();
  EXPECT_EQ(fetcher.keptCount(), 0u);
  // An idle cancel does not spoil the next fetch.
  EXPECT_EQ(fetcher.fetch(server.url("/a"), 30).body, "<html><body>fast</body></html>");

  fetcher.hintUpcoming({server.url("/slow"), server.url("/b"), server.url("/c")});
  const int pumpsBefore = pump.count;
  pump.onPump = [&](int call) {
    if (call == pumpsBefore + 3) fetcher.cancel();
  };
  const FetchResult r = fetcher.fetch(server.url("/slow"), 30);
  EXPECT_EQ(r.status, FetchStatus::Ok);
  EXPECT_TRUE(r.body.empty());
  EXPECT_EQ(r.error, kCancelledError);
  EXPECT_EQ(fetcher.keptCount(), 0u);
}

TEST(ParallelFetcherFailures, FailedEarlyAnswersReadLikeOnesFetchedNow) {
  HttpTestServer dead;
  dead.start();
  const std::string deadUrl = dead.url("/gone");
  dead.stop();
  HttpTestServer server;
  server.on("/quiet", server.silence(std::chrono::seconds(10)));
  server.on("/missing", HttpTestServer::errorPage(404, "<html><body>no</body></html>"));
  server.start();
  CountingPump pump;
  ParallelFetcher fetcher(pump, 4);

  fetcher.hintUpcoming({deadUrl, server.url("/missing")});
  const FetchResult gone = fetcher.fetch(deadUrl, 30);
  EXPECT_EQ(gone.status, FetchStatus::Unreachable);
  const FetchResult missing = fetcher.fetch(server.url("/missing"), 30);
  EXPECT_EQ(missing.status, FetchStatus::Ok);
  EXPECT_EQ(missing.httpStatus, 404);
  EXPECT_EQ(missing.body, "<html><body>no</body></html>");

  ASSERT_EQ(fetcher.fetch(server.url("/missing"), 1).httpStatus, 404);
  fetcher.hintUpcoming({server.url("/quiet")});
  EXPECT_EQ(fetcher.fetch(server.url("/quiet"), 1).status, FetchStatus::Timeout);
}

}  // namespace
}  // namespace quexa
