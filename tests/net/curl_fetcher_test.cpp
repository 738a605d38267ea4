// The libcurl fetcher against loopback servers: what comes back for each kind
// of answer, how failures are told apart, and that the window stays live.
#include "net/curl_fetcher.h"

#include <gtest/gtest.h>

#include "support/counting_pump.h"
#include "support/http_test_server.h"

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

TEST_F(CurlFetcherTest, ReturnsBodiesOfPagesAndRedirects) {
  server.on("/page", HttpTestServer::page("<html><body>hello</body></html>"));
  server.on("/moved", HttpTestServer::redirect("/page", 301));
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
}

TEST_F(CurlFetcherTest, KeepsTheConnectionAcrossFetches) {
  server.on("/a", HttpTestServer::page("a"));
  server.on("/b", HttpTestServer::page("b"));
  server.start();
  EXPECT_EQ(fetcher.fetch(server.url("/a"), 2).body, "a");
  EXPECT_EQ(fetcher.fetch(server.url("/b"), 2).body, "b");
  auto requests = server.requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].remotePort, requests[1].remotePort);
}

// The page's bytes reach the decoder with their header; each charset's own
// decoding is checked on the decoder.
TEST_F(CurlFetcherTest, DecodesGzipAndCharsets) {
  server.on("/gz", HttpTestServer::gzipped("<html><body>packed text</body></html>"));
  server.on("/header", HttpTestServer::page("<p>caf\xE9</p>", "text/html; charset=ISO-8859-1"));
  server.on("/meta", HttpTestServer::page("<meta charset=koi8-r><p>\xF0</p>", "text/html"));
  server.start();
  FetchResult gz = fetcher.fetch(server.url("/gz"), 2);
  EXPECT_EQ(gz.status, FetchStatus::Ok);
  EXPECT_EQ(gz.body, "<html><body>packed text</body></html>");
  EXPECT_NE(server.requests().back().header("Accept-Encoding").find("gzip"), std::string::npos);
  EXPECT_EQ(fetcher.fetch(server.url("/header"), 2).body, "<p>caf\xC3\xA9</p>");
  EXPECT_EQ(fetcher.fetch(server.url("/meta"), 2).body, "<meta charset=koi8-r><p>\xD0\x9F</p>");
}

TEST_F(CurlFetcherTest, CapsABodyAt32MiB) {
  const std::string big = test::filler(33u * 1024u * 1024u, 'q');
  // Octet-stream, so the server does not spend its time compressing it.
  server.on("/big", HttpTestServer::page(big, "application/octet-stream"));
  server.start();
  FetchResult r = fetcher.fetch(server.url("/big"), 20);
  EXPECT_EQ(r.status, FetchStatus::Ok);
  EXPECT_EQ(r.body.size(), kMaxBodyBytes);
  EXPECT_EQ(r.body.find_first_not_of('q'), std::string::npos);
}

TEST_F(CurlFetcherTest, TellsTimeoutFromUnreachable) {
  server.on("/silent", server.silence());
  server.start();

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

TEST_F(CurlFetcherTest, SendsBlanksAsPercent20AndNothingElseChanged) {
  server.otherwise(HttpTestServer::page("ok"));
  server.start();
  fetcher.fetch(server.url("/find?q=a b&offset= 10"), 2);
  fetcher.fetch(server.url("/x/../y/%41"), 2);
  auto requests = server.requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].target, "/find?q=a%20b&offset=%2010");
  EXPECT_EQ(requests[1].target, "/x/../y/%41");
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
  server.on("/next", HttpTestServer::page("next page"));
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

  // Neither that cancel nor one between fetches sticks to the next fetch.
  pump.onPump = nullptr;
  fetcher.cancel();
  FetchResult next = fetcher.fetch(server.url("/next"), 2);
  EXPECT_EQ(next.status, FetchStatus::Ok);
  EXPECT_EQ(next.body, "next page");
}

TEST_F(CurlFetcherTest, AFetchFromInsideThePumpIsRefused) {
  server.on("/slow", server.slowBody(3, milliseconds(100)));
  server.on("/a", HttpTestServer::page("a"));
  server.start();
  FetchResult inner;
  pump.onPump = [&](int call) {
    if (call == 1) inner = fetcher.fetch(server.url("/a"), 2);
  };
  FetchResult outer = fetcher.fetch(server.url("/slow"), 5);
  EXPECT_EQ(inner.status, FetchStatus::Failed);
  EXPECT_EQ(outer.status, FetchStatus::Ok);
  EXPECT_EQ(server.requestCount("/a"), 0u);
}

}  // namespace
}  // namespace quexa
