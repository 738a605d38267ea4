// The ways a site can fail a search, each against a real server on
// 127.0.0.1 and the real libcurl fetcher: what the fetcher reports, how the
// retry rules count the attempts, and whether the search goes on to the
// next site or ends, without hanging, crashing or growing without bound.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>

#include "app/search_frame.h"
#include "faults/raw_server.h"
#include "net/fetch_page.h"
#include "search/site_fixture.h"
#include "support/http_test_server.h"
#include "support/window_events.h"

namespace quexa {
namespace {

using test::HttpTestServer;
using testing::RawServer;
using testing::SiteSearchHarness;
using Kind = TranscriptEvent::Kind;
using namespace std::chrono_literals;

std::string page(const std::string& body) {
  return "<html><head><title>fault</title></head><body>" + body + "</body></html>";
}

// Headers that promise `length` bytes of HTML.
std::string headersFor(size_t length) {
  return "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(length) +
         "\r\n\r\n";
}

// Answers the request with headers for `length` bytes, sends the first half
// of them, then ends the connection (with a reset when `reset`).
RawServer::Behaviour halfBodyThenClose(size_t length, bool reset) {
  return [length, reset](int connection) {
    RawServer::readRequestHead(connection);
    const std::string body = page("needle " + test::filler(length));
    if (!RawServer::sendAll(connection, headersFor(body.size()) + body.substr(0, body.size() / 2)))
      return;
    // Let the half arrive before the end, so the fetcher sees both.
    std::this_thread::sleep_for(100ms);
    if (reset) RawServer::resetConnection(connection);
  };
}

long peakResidentKilobytes() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// --- Sites that give no page: each is asked retry + 1 times, reported
// unfetched when it stays so, and skipped ---

// A site that never gives a page, however it fails to.
struct FaultySite {
  std::unique_ptr<HttpTestServer> http{};
  std::unique_ptr<RawServer> raw{};
  std::unique_ptr<testing::TlsTestServer> tls{};
  std::string url;
  size_t requestsPerAttempt = 1;  // a redirect loop asks for more than one

  size_t requests() const { return http ? http->requestCount() : raw ? raw->connections() : 0; }
};

struct NoPageCase {
  const char* name;
  FetchStatus fetcherSays;
  std::function<FaultySite()> make;
};

FaultySite httpSite(HttpTestServer::Handler handler, size_t requestsPerAttempt = 1) {
  auto http = std::make_unique<HttpTestServer>();
  http->on("/faulty", std::move(handler));
  http->start();
  const std::string url = http->url("/faulty");
  return {.http = std::move(http), .url = url, .requestsPerAttempt = requestsPerAttempt};
}

FaultySite rawSite(RawServer::Behaviour behaviour) {
  auto raw = std::make_unique<RawServer>(std::move(behaviour));
  const std::string url = raw->url("/faulty");
  return {.raw = std::move(raw), .url = url};
}

// Answers every request with these bytes, then closes.
RawServer::Behaviour answers(std::string bytes) {
  return [bytes](int connection) {
    RawServer::readRequestHead(connection);
    RawServer::sendAll(connection, bytes);
  };
}

FaultySite untrustedCertificateSite() {
  auto tls =
      std::make_unique<testing::TlsTestServer>([](const httplib::Request&, httplib::Response& res) {
        res.set_content("needle", "text/html");
      });
  const std::string url = tls->url("/faulty");
  // The handshake fails before any request.
  return {.tls = std::move(tls), .url = url, .requestsPerAttempt = 0};
}

FaultySite controlCharacterLinkSite() {
  FaultySite site = httpSite(HttpTestServer::page(page("needle")));
  site.url += "\n\x1b]0;title\a";  // refused before any request
  site.requestsPerAttempt = 0;
  return site;
}

class FaultMatrixNoPage : public ::testing::TestWithParam<NoPageCase> {};

TEST_P(FaultMatrixNoPage, TheSiteIsAskedRetryPlusOneTimesReportedAndTheNextSiteIsStillSearched) {
  FaultySite faulty = GetParam().make();
  HttpTestServer live;
  live.on("/next", HttpTestServer::page(page("a needle")));
  live.start();
  SiteSearchHarness h;
  h.controls.settings.retryText = "2";

  FetchResult direct = h.curl.fetch(faulty.url, 2);
  EXPECT_EQ(direct.status, GetParam().fetcherSays) << direct.error;
  EXPECT_EQ(direct.body, "");

  EXPECT_EQ(h.run({faulty.url, live.url("/next")}, false), EndReason::Completed);
  EXPECT_EQ(h.fetchedUrls(),
            (std::vector<std::string>{faulty.url, faulty.url, faulty.url, live.url("/next")}));
  EXPECT_EQ(h.nodeKeys(), (std::vector<std::string>{"Mine\\", "Yahoo 1" + live.url("/next")}));
  EXPECT_EQ(h.window.resultLabel, "Found:  1");
  EXPECT_EQ(h.window.status, kStatusReady);
  // The direct fetch and three attempts.
  EXPECT_EQ(faulty.requests(), 4 * faulty.requestsPerAttempt);
  // Reported once, as unfetched; an empty answer is a page and no report.
  std::vector<std::string> reported;
  for (const auto& [url, reason] : h.window.unfetched) reported.push_back(url);
  EXPECT_EQ(reported, GetParam().fetcherSays == FetchStatus::Unreachable
                          ? std::vector<std::string>{faulty.url}
                          : std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Answers, FaultMatrixNoPage,
    ::testing::Values(
        NoPageCase{"EmptyBody", FetchStatus::Ok,
                   [] { return httpSite(HttpTestServer::emptyBody()); }},
        NoPageCase{"ClosedBeforeHeaders", FetchStatus::Unreachable,
                   [] { return rawSite(&RawServer::readRequestHead); }},
        NoPageCase{"ClosedPort", FetchStatus::Unreachable,
                   [] {
                     return FaultySite{.url = "http://" + test::deadHostAndPort() + "/",
                                       .requestsPerAttempt = 0};
                   }},
        NoPageCase{"ResetMidBody", FetchStatus::Unreachable,
                   [] { return rawSite(halfBodyThenClose(4000, true)); }},
        NoPageCase{"BodyCutShort", FetchStatus::Unreachable,
                   [] { return rawSite(halfBodyThenClose(4000, false)); }},
        NoPageCase{"RedirectLoop", FetchStatus::Unreachable,
                   [] { return httpSite(HttpTestServer::redirect("/faulty"), kMaxRedirects + 1); }},
        NoPageCase{"RedirectToFile", FetchStatus::Unreachable,
                   [] { return httpSite(HttpTestServer::redirect("file:///etc/passwd")); }},
        NoPageCase{"BadGzip", FetchStatus::Unreachable,
                   [] {
                     return rawSite(
                         answers("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Encoding: "
                                 "gzip\r\nContent-Length: 20\r\n\r\nneedle, but not gzip"));
                   }},
        NoPageCase{"Http09", FetchStatus::Unreachable,
                   [] { return rawSite(answers("<html><body>needle</body></html>\r\n")); }},
        NoPageCase{"MalformedStatusLine", FetchStatus::Unreachable,
                   [] { return rawSite(answers("HTTP/1.1 2000000 OK\r\n\r\nneedle")); }},
        NoPageCase{"ControlCharacterInLink", FetchStatus::Unreachable, controlCharacterLinkSite},
        NoPageCase{"UntrustedCertificate", FetchStatus::Unreachable, untrustedCertificateSite}),
    [](const ::testing::TestParamInfo<NoPageCase>& info) { return std::string(info.param.name); });

// --- Time-outs: a site silent or dripping past the time-out is asked
// retry + 1 times, with the notice before each retry, then ends the search ---

TEST(FaultMatrixTimeouts, ASiteOutlastingTheTimeoutEndsTheSearchOnceItsRetriesAreUsed) {
  HttpTestServer server;
  server.on("/silent", server.silence());
  server.on("/drip", server.slowBody(30, 1s, "x"));  // a byte a second
  server.on("/next", HttpTestServer::page(page("needle")));
  server.start();
  for (const auto& [path, retries] : {std::pair{"/silent", 1}, {"/drip", 0}}) {
    SiteSearchHarness h;
    h.controls.settings.timeoutText = "1";
    h.controls.settings.retryText = std::to_string(retries);
    const std::string url = server.url(path);
    EXPECT_EQ(h.curl.fetch(url, 1).status, FetchStatus::Timeout) << path;

    EXPECT_EQ(h.run({url, server.url("/next")}, false), EndReason::Failed) << path;

    EXPECT_EQ(h.fetchedUrls(), std::vector<std::string>(retries + 1, url));
    std::vector<std::string> tail{"Searching " + url, kStatusStopped};
    if (retries)
      tail.insert(tail.begin() + 1, "Communication request timed out! Retry -  1 time(s).");
    const std::vector<std::string> statuses = test::eventTexts(h.window, Kind::Status);
    ASSERT_GE(statuses.size(), tail.size());
    EXPECT_EQ(
        std::vector<std::string>(statuses.end() - static_cast<long>(tail.size()), statuses.end()),
        tail);
    EXPECT_EQ(h.state.searchRunning, 0);
  }
  EXPECT_EQ(server.requestCount("/next"), 0u);
}

TEST(FaultMatrixBrokenTransfers, AHundredMegabyteBodyIsCutAndMemoryStaysBounded) {
  constexpr size_t kPromised = 100u * 1024u * 1024u;
  std::atomic<size_t> sent{0};
  RawServer huge([&](int connection) {
    RawServer::readRequestHead(connection);
    if (!RawServer::sendAll(connection, headersFor(kPromised))) return;
    const std::string start = "<html><body>needle ";
    std::string chunk = test::filler(1024 * 1024, 'q');
    chunk.replace(0, start.size(), start);
    while (sent < kPromised && RawServer::sendAll(connection, chunk)) {
      sent += chunk.size();
      chunk.assign(chunk.size(), 'q');
    }
  });
  SiteSearchHarness h;
  const long before = peakResidentKilobytes();

  EXPECT_EQ(h.run({huge.url("/huge")}, false), EndReason::Completed);

  EXPECT_EQ(h.nodeKeys(), (std::vector<std::string>{"Mine\\", "Yahoo 1" + huge.url("/huge")}));
  EXPECT_EQ(huge.connections(), 1);
  // The fetcher dropped the rest instead of reading it all.
  EXPECT_LT(sent.load(), kPromised / 2);
  const long grownMegabytes = (peakResidentKilobytes() - before) / 1024;
  EXPECT_LT(grownMegabytes, 400) << "peak resident size grew by " << grownMegabytes << " MB";
}

// A spider trap: page /pK links to the 300 pages /p(300K+1) .. /p(300K+300).
TEST(FaultMatrixSpiderTrap, MaximumSitesEndsTheCrawlWhereAnUnboundedQueueWouldHave) {
  HttpTestServer trap;
  trap.otherwise([](const httplib::Request& req, httplib::Response& res) {
    const long k = std::atol(req.path.c_str() + 2);
    std::string body = "<html><body>";
    for (long i = 1; i <= 300; ++i)
      body += "<a href=\"/p" + std::to_string(k * 300 + i) + "\">x</a>\n";
    res.set_content(body + "</body></html>", "text/html");
  });
  trap.start();
  SiteSearchHarness h;
  h.controls.settings.hitsText = "100";
  // Longer than every link taken, so only the site itself gets its "/".
  const std::string site = trap.url("/p0.html");

  EXPECT_EQ(h.run({site}, true), EndReason::Completed);

  // Breadth first: /p0/, then /p1 .. /p99; the entry after the last page is
  // still taken and shown before the bound ends the search.
  std::vector<std::string> expected{site + "/"};
  for (int k = 1; k < 100; ++k) expected.push_back(trap.url("/p" + std::to_string(k)));
  EXPECT_EQ(h.fetchedUrls(), expected);
  const std::vector<std::string> statuses = test::eventTexts(h.window, Kind::Status);
  ASSERT_GE(statuses.size(), 2u);
  EXPECT_EQ(statuses[statuses.size() - 2], "Searching " + trap.url("/p100"));
  EXPECT_EQ(h.window.status, kStatusReady);
}

}  // namespace
}  // namespace quexa
