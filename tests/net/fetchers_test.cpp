// The fetchers against loopback servers. The libcurl fetcher: what comes
// back for each kind of answer, how failures are told apart, and that the
// window stays live. The fetcher that fetches ahead: what it sends, which
// early answers it hands over and when it must ask again. Both: Stop while
// a host name is still being looked up gives up at once and the window's
// events keep flowing. Names under ".hang.test" are looked up by a resolver
// that answers only when the test lets it go; every other name goes to the
// system's resolver.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <netdb.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "match/prepared_page.h"
#include "net/curl_fetcher.h"
#include "net/fetch_page.h"
#include "net/parallel_fetcher.h"
#include "support/counting_pump.h"
#include "support/http_test_server.h"

namespace {

std::mutex hangLock;
std::condition_variable hangReleased;
int releases = 0;  // each test lets its own lookups go at its end

bool isHangingName(const char* node) {
  const std::string name = node != nullptr ? node : "";
  const std::string suffix = ".hang.test";
  return name.size() > suffix.size() &&
         name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

// The program's own getaddrinfo comes before the C library's for libcurl's
// resolver thread too.
extern "C" int getaddrinfo(const char* node, const char* service, const struct addrinfo* hints,
                           struct addrinfo** result) {
  using Lookup = int (*)(const char*, const char*, const struct addrinfo*, struct addrinfo**);
  static const auto next = reinterpret_cast<Lookup>(dlsym(RTLD_NEXT, "getaddrinfo"));
  if (!isHangingName(node)) return next(node, service, hints, result);
  std::unique_lock<std::mutex> lock(hangLock);
  const int seen = releases;
  hangReleased.wait_for(lock, std::chrono::seconds(10), [seen] { return releases != seen; });
  return EAI_NONAME;
}

namespace quexa {
namespace {

using std::chrono::milliseconds;
using test::CountingPump;
using test::HttpTestServer;

struct CurlFetcherTest : ::testing::Test {
  HttpTestServer server;
  CountingPump pump;
  CurlFetcher fetcher{pump};
};

// One connection serves fetch after fetch. The page's bytes reach the
// decoder with their header; each charset's own decoding is checked on the
// decoder. Blanks are sent as %20 and nothing else is changed.
TEST_F(CurlFetcherTest, ReturnsEachKindOfAnswerCapsBodiesTellsTimeoutFromUnreachable) {
  server.on("/page", HttpTestServer::page("<html><body>hello</body></html>"));
  server.on("/moved", HttpTestServer::redirect("/page", 301));
  server.on("/gz", HttpTestServer::gzipped("<html><body>packed text</body></html>"));
  server.on("/header", HttpTestServer::page("<p>caf\xE9</p>", "text/html; charset=ISO-8859-1"));
  server.on("/meta", HttpTestServer::page("<meta charset=koi8-r><p>\xF0</p>", "text/html"));
  server.otherwise(HttpTestServer::page("ok"));
  server.start();

  FetchResult page = fetcher.fetch(server.url("/page"), 2);
  EXPECT_EQ(page.status, FetchStatus::Ok);
  EXPECT_EQ(page.body, "<html><body>hello</body></html>");
  EXPECT_EQ(page.httpStatus, 200);

  FetchResult moved = fetcher.fetch(server.url("/moved"), 2);
  EXPECT_EQ(moved.status, FetchStatus::Ok);
  EXPECT_EQ(moved.body, "<html><body>hello</body></html>");

  auto requests = server.requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].header("User-Agent"), "Quexa/2.0");
  EXPECT_EQ(requests[2].path, "/page");  // the redirect was followed
  EXPECT_EQ(requests[0].remotePort, requests[1].remotePort);

  FetchResult gz = fetcher.fetch(server.url("/gz"), 2);
  EXPECT_EQ(gz.status, FetchStatus::Ok);
  EXPECT_EQ(gz.body, "<html><body>packed text</body></html>");
  EXPECT_NE(server.requests().back().header("Accept-Encoding").find("gzip"), std::string::npos);
  EXPECT_EQ(fetcher.fetch(server.url("/header"), 2).body, "<p>caf\xC3\xA9</p>");
  EXPECT_EQ(fetcher.fetch(server.url("/meta"), 2).body, "<meta charset=koi8-r><p>\xD0\x9F</p>");

  fetcher.fetch(server.url("/find?q=a b&offset= 10"), 2);
  EXPECT_EQ(server.requests().back().target, "/find?q=a%20b&offset=%2010");
  fetcher.fetch(server.url("/x/../y/%41"), 2);
  EXPECT_EQ(server.requests().back().target, "/x/../y/%41");

  // A body is capped at 32 MiB; octet-stream, so the server does not spend
  // its time compressing it.
  const std::string big = test::filler(33u * 1024u * 1024u, 'q');
  server.on("/big", HttpTestServer::page(big, "application/octet-stream"));
  FetchResult r = fetcher.fetch(server.url("/big"), 20);
  EXPECT_EQ(r.status, FetchStatus::Ok);
  EXPECT_EQ(r.body.size(), kMaxBodyBytes);
  EXPECT_EQ(r.body.find_first_not_of('q'), std::string::npos);

  // A silent server times out; a refused connection is unreachable.
  server.on("/silent", server.silence());
  FetchResult late = fetcher.fetch(server.url("/silent"), 1);
  EXPECT_EQ(late.status, FetchStatus::Timeout);
  EXPECT_EQ(late.body, "");

  FetchResult refused = fetcher.fetch("http://" + test::deadHostAndPort() + "/", 2);
  EXPECT_EQ(refused.status, FetchStatus::Unreachable);
  EXPECT_EQ(refused.httpStatus, 0);
  EXPECT_FALSE(refused.error.empty());
  // Only the Web's own protocols are fetched.
  EXPECT_EQ(fetcher.fetch("file:///etc/hostname", 2).status, FetchStatus::Unreachable);
}

TEST_F(CurlFetcherTest, NamedProxyCarriesTheRequestDefaultGoesDirectARefusingOneIsUnreachable) {
  HttpTestServer proxy;
  proxy.otherwise(HttpTestServer::forwardProxy());
  proxy.start();
  server.on("/via", HttpTestServer::page("through the proxy"));
  server.start();

  fetcher.setProxy(AccessType::NamedProxy, proxy.hostAndPort());
  FetchResult proxied = fetcher.fetch(server.url("/via"), 2);
  EXPECT_EQ(proxied.body, "through the proxy");
  ASSERT_EQ(proxy.requestCount(), 1u);
  EXPECT_EQ(proxy.requests()[0].target, server.url("/via"));

  fetcher.setProxy(AccessType::Default, "");
  EXPECT_EQ(fetcher.fetch(server.url("/via"), 2).body, "through the proxy");
  EXPECT_EQ(proxy.requestCount(), 1u);
  EXPECT_EQ(server.requestCount("/via"), 2u);

  // A proxy that refuses the connection: unreachable, and no request passes.
  fetcher.setProxy(AccessType::NamedProxy, test::deadHostAndPort());
  EXPECT_EQ(fetcher.fetch(server.url("/via"), 2).status, FetchStatus::Unreachable);
  EXPECT_EQ(server.requestCount("/via"), 2u);
}

TEST_F(CurlFetcherTest, PumpsWhileASlowBodyArrives) {
  server.on("/slow", server.slowBody(10, milliseconds(100)));
  server.start();
  FetchResult r = fetcher.fetch(server.url("/slow"), 5);
  EXPECT_EQ(r.status, FetchStatus::Ok);
  EXPECT_EQ(r.body.size(), 10 * std::string("<p>drip</p>").size());
  EXPECT_GE(pump.count, 15);
}

TEST_F(CurlFetcherTest, CancelFromThePumpAbandonsTheFetch) {
  server.on("/silent", server.silence());
  server.on("/next", server.slowBody(3, milliseconds(100), "next page"));
  server.start();
  pump.onPump = [this](int call) {
    if (call == 3) fetcher.cancel();
  };
  // Without the cancel this would wait for its 2 s and time out.
  FetchResult r = fetcher.fetch(server.url("/silent"), 2);
  EXPECT_EQ(r.status, FetchStatus::Ok);
  EXPECT_EQ(r.body, "");
  EXPECT_EQ(r.error, kCancelledError);
  EXPECT_EQ(pump.count, 3);

  // Neither that cancel nor one between fetches sticks to the next fetch; a
  // fetch from inside the pump is refused.
  FetchResult inner;
  pump.onPump = [&](int call) {
    if (call == 4) inner = fetcher.fetch(server.url("/silent"), 2);
  };
  fetcher.cancel();
  FetchResult next = fetcher.fetch(server.url("/next"), 2);
  EXPECT_EQ(next.status, FetchStatus::Ok);
  EXPECT_EQ(next.body, "next pagenext pagenext page");
  EXPECT_EQ(inner.status, FetchStatus::Failed);
  EXPECT_EQ(server.requestCount("/silent"), 1u);
}

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

using Clock = std::chrono::steady_clock;

struct HangingLookupTest : ::testing::TestWithParam<const char*> {
  void TearDown() override {
    {
      std::lock_guard<std::mutex> lock(hangLock);
      ++releases;
    }
    hangReleased.notify_all();
  }
};

TEST_P(HangingLookupTest, StopTakesEffectAtOnceAndEventsKeepFlowing) {
  CountingPump pump;
  std::unique_ptr<Fetcher> fetcher;
  if (std::string(GetParam()) == "single")
    fetcher = std::make_unique<CurlFetcher>(pump);
  else
    fetcher = std::make_unique<ParallelFetcher>(pump, 4);

  Clock::time_point last = Clock::now();
  Clock::duration longestGap{};
  Clock::time_point stoppedAt;
  pump.onPump = [&](int call) {
    const Clock::time_point now = Clock::now();
    longestGap = std::max(longestGap, now - last);
    last = now;
    if (call == 6) {
      stoppedAt = now;
      fetcher->cancel();
    }
  };
  // The page after it is fetched ahead and given up when the search stops.
  fetcher->hintUpcoming({"http://first.hang.test/", "http://second.hang.test/"});
  const FetchResult r = fetcher->fetch("http://first.hang.test/", 30);
  const Clock::duration stopTook = Clock::now() - stoppedAt;
  EXPECT_EQ(r.error, kCancelledError);
  // Goals: Stop shows within 0.3 s, no gap over 100 ms; the margins allow
  // for a loaded machine.
  EXPECT_LT(stopTook, milliseconds(1000));
  EXPECT_LT(longestGap, milliseconds(400));
  // Dropping the fetcher with lookups still running does not wait either.
  const Clock::time_point dropping = Clock::now();
  fetcher.reset();
  EXPECT_LT(Clock::now() - dropping, milliseconds(1000));
}

INSTANTIATE_TEST_SUITE_P(BothFetchers, HangingLookupTest, ::testing::Values("single", "parallel"));

}  // namespace
}  // namespace quexa
