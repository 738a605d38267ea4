// The crawl by the standard link rules over loopback sites: which addresses
// are asked for (each once), which pages are listed and what is reported
// instead of listed.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>

#include "search/linked_search.h"
#include "search/site_fixture.h"
#include "support/http_test_server.h"

namespace quexa {
namespace {

using test::HttpTestServer;
using testing::SiteSearchHarness;
using Kind = TranscriptEvent::Kind;

HttpTestServer::Handler needlePage(const std::string& links) {
  return HttpTestServer::page("<html><head><title>t</title></head><body>needle " + links +
                              "</body></html>");
}

// A documentation site in nested folders with every kind of link the rules
// treat differently.
struct DocsSite {
  HttpTestServer server;
  std::atomic<int> binaryChunksSent{0};

  DocsSite() {
    server.on("/robots.txt", HttpTestServer::page("User-agent: *\nDisallow: /\n\n"
                                                  "User-agent: Quexa\nDisallow: /private\n"
                                                  "Disallow: /*.pdf$\n",
                                                  "text/plain"));
    server.on("/docs/index.html",
              needlePage(R"(<a href="guide/intro.html">i</a> <a href="../top.html">t</a>
                 <a href="Guide/Caps.html?Q=One#part">c</a> <a href="index.html#sec">self</a>
                 <a href='/files/big.zip'>zip</a> <a href=/private/secret.html>p</a>
                 <a href="manual.pdf">pdf</a> <a href="missing.html">m</a>
                 <a href="moved.html">r</a> <a href="away.html">a</a>
                 <a href="mailto:someone@127.0.0.1">mail</a> <a href="../based/page.html">b</a>
                 <!-- <a href="comment.html"> --><script>x='<a href="script.html">'</script>)"));
    server.on("/docs/guide/intro.html", needlePage(R"(<a href="../index.html">up</a>)"));
    server.on("/docs/Guide/Caps.html", needlePage(""));
    server.on("/top.html", needlePage(""));
    server.on("/docs/missing.html", HttpTestServer::errorPage(404, "needle not found"));
    server.on("/docs/moved.html", HttpTestServer::redirect("/docs/guide/intro.html"));
    server.on("/based/page.html",
              needlePage(R"(<head><base href="/docs/guide/"></head><a href="deep.html">d</a>)"));
    server.on("/docs/guide/deep.html", needlePage(""));
    server.on("/files/big.zip", [this](const httplib::Request&, httplib::Response& res) {
      res.set_chunked_content_provider("application/zip", [this](size_t, httplib::DataSink& sink) {
        if (++binaryChunksSent > 2000) return false;
        static const std::string chunk(64 * 1024, 'n');
        return sink.write(chunk.data(), chunk.size());
      });
    });
    server.start();
  }
};

TEST(StandardCrawl, EachPageOnceByRealLinksWithinRobotsAndTheHost) {
  DocsSite site;
  // Another host name for the same server: off the site.
  site.server.on("/docs/away.html",
                 HttpTestServer::redirect("http://localhost:" + std::to_string(site.server.port()) +
                                          "/docs/top.html"));
  SiteSearchHarness h;
  h.controls.standardLinks = true;
  ASSERT_EQ(h.run({site.server.url("/docs/index.html")}, true), EndReason::Completed);

  std::map<std::string, int> asked;
  for (const auto& r : site.server.requests()) ++asked[r.target];
  const std::map<std::string, int> expected{{"/robots.txt", 1},
                                            {"/docs/index.html", 1},
                                            {"/docs/guide/intro.html", 1},
                                            {"/top.html", 1},
                                            {"/docs/Guide/Caps.html?Q=One", 1},
                                            {"/files/big.zip", 1},
                                            {"/docs/missing.html", 1},
                                            {"/docs/moved.html", 1},
                                            {"/docs/away.html", 1},
                                            {"/based/page.html", 1},
                                            {"/docs/guide/deep.html", 1}};
  EXPECT_EQ(asked, expected);
  // The binary answer was stopped at its first bytes, not downloaded.
  EXPECT_LT(site.binaryChunksSent.load(), 100);

  std::vector<std::string> listed;
  for (const auto& e : h.events(Kind::Node))
    if (e.parentKey == site.server.url("/docs/index.html")) listed.push_back(e.text);
  const std::vector<std::string> pages{"/docs/index.html", "/docs/guide/intro.html",
                                       "/top.html",        "/docs/Guide/Caps.html?Q=One",
                                       "/based/page.html", "/docs/guide/deep.html"};
  ASSERT_EQ(listed.size(), pages.size());
  for (size_t i = 0; i < pages.size(); ++i) EXPECT_EQ(listed[i], site.server.url(pages[i]));

  std::map<std::string, std::string> reported(h.window.unfetched.begin(), h.window.unfetched.end());
  EXPECT_EQ(reported[site.server.url("/docs/missing.html")], "HTTP 404");
  EXPECT_EQ(reported[site.server.url("/private/secret.html")], "disallowed by robots.txt");
  EXPECT_EQ(reported[site.server.url("/docs/manual.pdf")], "disallowed by robots.txt");
  EXPECT_EQ(reported[site.server.url("/files/big.zip")].rfind("not a page: application/zip", 0),
            0u);
  EXPECT_EQ(reported[site.server.url("/docs/away.html")].rfind("redirected off the site", 0), 0u);
  EXPECT_EQ(reported.count(site.server.url("/docs/moved.html")), 0u);
}

TEST(StandardCrawl, AnHttpSiteThatMovedToHttpsIsCrawledThereOnce) {
  std::atomic<int> secureRequests{0};
  testing::TlsTestServer secure([&](const httplib::Request& req, httplib::Response& res) {
    ++secureRequests;
    if (req.path == "/robots.txt") return (void)(res.status = 404);
    const bool home = req.path == "/";
    res.set_content(home ? "<body>needle <a href='docs/a.html'>a</a> <a href='/'>home</a></body>"
                         : "<body>needle</body>",
                    "text/html");
  });
  HttpTestServer plain;
  plain.otherwise(HttpTestServer::redirect(secure.url("/")));
  plain.start();

  SiteSearchHarness h;
  h.curl.trustCertificates(testing::kLoopbackCertificate);
  h.controls.standardLinks = true;
  h.run({plain.url("/")}, true);
  // robots.txt of each scheme's site (the http one moved too), then the
  // pages; the moved home page is one page, and its link is read against
  // its https address.
  EXPECT_EQ(plain.requestCount(), 2u);
  EXPECT_EQ(secureRequests.load(), 4);
  std::vector<std::string> listed;
  for (const auto& e : h.events(Kind::Node))
    if (e.parentKey == plain.url("/")) listed.push_back(e.text);
  EXPECT_EQ(listed, (std::vector<std::string>{secure.url("/"), secure.url("/docs/a.html")}));
}

TEST(StandardCrawl, RobotsAnswersDecideForTheWholeSite) {
  struct Case {
    int robotsStatus;
    bool ignoreRobots;
    size_t pagesAsked;  // besides robots.txt
  } cases[] = {{404, false, 2}, {500, false, 0}, {500, true, 2}};
  for (const Case& c : cases) {
    HttpTestServer server;
    server.on("/robots.txt", HttpTestServer::errorPage(c.robotsStatus, "no"));
    server.on("/", needlePage("<a href='/a.html'>a</a>"));
    server.on("/a.html", needlePage(""));
    server.start();
    SiteSearchHarness h;
    h.controls.standardLinks = true;
    h.controls.ignoreRobots = c.ignoreRobots;
    // The entry is asked for as written: no "/" added to its path.
    h.run({"HTTP://127.0.0.1:" + std::to_string(server.port())}, true);
    EXPECT_EQ(server.requestCount() - server.requestCount("/robots.txt"), c.pagesAsked)
        << c.robotsStatus;
    EXPECT_EQ(server.requestCount("/robots.txt"), c.ignoreRobots ? 0u : 1u);
    EXPECT_EQ(h.foundCount, static_cast<int32_t>(c.pagesAsked));
  }
}

}  // namespace
}  // namespace quexa
