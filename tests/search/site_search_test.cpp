// The "My Web Sites" search over fixture sites on loopback servers: what it
// fetches, which pages it lists, the tree and the all-results pane it
// writes, and how each way of ending shows on the status line; and the
// crawl by the standard link rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <map>

#include "app/search_frame.h"
#include "results/documents.h"
#include "results/rtf_blocks.h"
#include "search/site_fixture.h"
#include "support/http_test_server.h"
#include "support/window_events.h"

namespace quexa {
namespace {

using test::HttpTestServer;
using testing::link;
using testing::SiteSearchHarness;
using Kind = TranscriptEvent::Kind;

std::string page(const std::string& body) {
  return "<html><head><title>fixture</title></head><body>" + body + "</body></html>";
}

// A server whose every page holds the needle.
struct NeedleServer : HttpTestServer {
  NeedleServer() {
    otherwise(page(::quexa::page("needle")));
    start();
  }
};

// A site whose home page links to a page per kind of link the crawl meets.
struct LinkedSite {
  HttpTestServer server;
  LinkedSite() {
    server.start();
    const std::string home = server.url("");
    server.on("/", HttpTestServer::page(
                       page("needle at home " + link("index.html") + link("/b.html") +
                            link("c.html") + link("pic.gif") + link("run.cgi?q=1") +
                            link("b.html#top") + link("http://other.invalid/x.html") +
                            link("mailto:someone@example.com") + link(home + "/d.html"))));
    server.on("/index.html", HttpTestServer::page(page("needle again")));
    server.on("/b.html", HttpTestServer::page(page("needle in b " + link("e.html"))));
    server.on("/c.html", HttpTestServer::page(page("nothing here")));
    server.on("/d.html", HttpTestServer::page(page("needle in d " + link("/"))));
    server.on("/e.html", HttpTestServer::page(page("needle in e")));
    server.otherwise(HttpTestServer::page(page("never to be asked for")));
  }
  std::string url(const std::string& path = "") const { return server.url(path); }
};

// The same address twice gives two page nodes; the entry's address is
// escaped in the pane, not in the tree.
TEST(SiteSearchSinglePage, ListsOnlyTheMatchingEntriesUnderTheIndexNode) {
  NeedleServer server;
  server.on("/first", HttpTestServer::page(page("plain text")));
  SiteSearchHarness h;
  const std::string first = server.url("/first");
  const std::string odd = server.url("/a{b}c\\d");
  const std::string escaped = server.url("/a\\{b\\}c\\\\d");

  EXPECT_EQ(h.run({first, odd, odd}, false), EndReason::Completed);

  EXPECT_EQ(test::nodeLines(h.window),
            (std::vector<std::string>{"-|Mine\\|Mine|closed|open",
                                      "Mine\\|Yahoo 1" + odd + "|" + odd + "|leaf|-",
                                      "Mine\\|Yahoo 2" + odd + "|" + odd + "|leaf|-"}));
  EXPECT_EQ(h.window.resultLabel, "Found:  2");
  EXPECT_EQ(h.state.foundStatus, "Found:  2");
  EXPECT_EQ(h.foundCount, 2);

  const auto docs = h.window.paneDocuments(Pane::All);
  ASSERT_EQ(docs.size(), 2u);
  EXPECT_EQ(docs[0], std::string(rtfHeader) + "{\\fs18\\cf2\\b 1. " + escaped +
                         "     \\f4\\fs18}\\pard {\\fs18 \\par} \\pard {\\fs18 \\par }"
                         "\\fs18 found needle\\par }");
  // From the second entry on an empty line comes before the number.
  EXPECT_NE(docs[1].find(std::string(rtfBoldBlue) + std::string(rtfPar) + "2. " + escaped),
            std::string::npos);

  // Every entry was searched, each with its status first; the last node
  // added was scrolled into view after each entry.
  EXPECT_EQ(h.fetchedUrls(), (std::vector<std::string>{first, odd, odd}));
  const auto visible = h.events(Kind::MakeVisible);
  ASSERT_FALSE(visible.empty());
  EXPECT_EQ(visible.back().key, "Yahoo 2" + odd);
  EXPECT_EQ(h.window.status, kStatusReady);
  EXPECT_EQ(h.state.searchRunning, 0);
}

// A short "not found" first page is listed in red; other error pages are
// matched as text.
TEST(SiteSearchServerError, OnlyAShortNotFoundFirstPageIsAServerError) {
  HttpTestServer server;
  server.on("/gone", HttpTestServer::errorPage(404, page("404 Not Found")));
  server.on("/broken", HttpTestServer::errorPage(500, page("Internal Server Error near a needle")));
  server.start();
  SiteSearchHarness h;
  const std::string gone = server.url("/gone");
  const std::string broken = server.url("/broken");
  // An error status is still a page: its text is what the search sees.
  const FetchResult notFound = h.curl.fetch(gone, 2);
  EXPECT_EQ(notFound.status, FetchStatus::Ok);
  EXPECT_EQ(notFound.httpStatus, 404);
  EXPECT_EQ(notFound.body, page("404 Not Found"));
  EXPECT_EQ(h.curl.fetch(broken, 2).httpStatus, 500);

  EXPECT_EQ(h.run({gone, broken}, false), EndReason::Completed);

  EXPECT_EQ(
      test::nodeLines(h.window),
      (std::vector<std::string>{"-|Mine\\|Mine|closed|open",
                                "Mine\\|Yahoo 1" + gone + "|" + gone + " (Server Error)|leaf|-",
                                "Mine\\|Yahoo 2" + broken + "|" + broken + "|leaf|-"}));
  const auto docs = h.window.paneDocuments(Pane::All);
  ASSERT_EQ(docs.size(), 2u);
  EXPECT_NE(docs[0].find(std::string(rtfRedText) + std::string(kServerErrorMessage) +
                         std::string(rtfPar) + std::string(rtfPar) + "}"),
            std::string::npos);
}

TEST(SiteSearchAllLinks, CrawlsTheSiteBreadthFirstOverItsOwnPages) {
  LinkedSite site;
  SiteSearchHarness h;
  const std::string home = site.url();

  EXPECT_EQ(h.run({home}, true), EndReason::Completed);

  // The home page is asked for with "/"; index.html (the home page again),
  // the picture, the script, the anchor, the other host and the mail
  // address never are.
  EXPECT_EQ(h.fetchedUrls(),
            (std::vector<std::string>{home + "/", home + "/b.html", home + "/c.html",
                                      home + "/d.html", home + "/e.html"}));
  EXPECT_EQ(site.server.requestCount("/index.html"), 0u);

  std::vector<std::string> tree = {"-|Mine\\|Mine|closed|open",
                                   "Mine\\|" + home + "|" + home + "|closed|-"};
  int n = 0;
  for (const std::string& page : {home + "/", home + "/b.html", home + "/d.html", home + "/e.html"})
    tree.push_back(home + "|Yahoo " + std::to_string(++n) + page + "|" + page + "|leaf|-");
  EXPECT_EQ(test::nodeLines(h.window), tree);
  const auto docs = h.window.paneDocuments(Pane::All);
  ASSERT_EQ(docs.size(), 4u);
  EXPECT_NE(docs[3].find("4. " + home + "/e.html     "), std::string::npos);
  EXPECT_EQ(h.window.resultLabel, "Found:  4");
}

// A site address ending in "/" is asked for with a second one. The same
// site twice: its own address is queued and fetched again, and its node's
// key is taken, which ends the search quietly and not as a normal end.
TEST(SiteSearchAllLinks, TheSameSiteTwiceEndsAsAFailureWhenItsNodeIsRefused) {
  NeedleServer server;
  SiteSearchHarness h;
  const std::string site = server.url("/");

  EXPECT_EQ(h.run({site, site}, true), EndReason::Failed);

  EXPECT_EQ(h.fetchedUrls(), (std::vector<std::string>{site + "/", site + "/"}));
  ASSERT_EQ(server.requests().size(), 2u);
  EXPECT_EQ(server.requests()[0].target, "//");
  EXPECT_EQ(h.nodeKeys(), (std::vector<std::string>{"Mine\\", site, "Yahoo 1" + site + "/"}));
  EXPECT_TRUE(h.events(Kind::ErrorDialog).empty());
  EXPECT_EQ(h.window.status, kStatusStopped);
  EXPECT_EQ(h.state.searchRunning, 0);
  // After "&Main" the tree is cleared and the site can be searched again.
  h.state.resetResults = 1;
  EXPECT_EQ(h.run({site}, true), EndReason::Completed);
}

// The window's Stop: between two entries the rest goes unsearched; pressed
// during a crawl while page b is handled, it ends before the next link.
TEST(SiteSearchStop, EndsBetweenEntriesAndBeforeTheNextLinkOfACrawl) {
  LinkedSite site;
  std::atomic<bool> servedB{false};
  site.server.on("/b.html", [&](const httplib::Request&, httplib::Response& res) {
    servedB = true;
    res.set_content(page("needle in b"), "text/html");
  });
  {
    SiteSearchHarness h;
    h.pump.onPump = [&](int) { h.state.stopRequest = 1; };
    EXPECT_EQ(h.run({site.url("/e.html"), site.url("/d.html")}, false), EndReason::Stopped);
    EXPECT_EQ(h.fetchedUrls(), std::vector<std::string>{site.url("/e.html")});
    EXPECT_EQ(h.foundCount, 1);
    EXPECT_EQ(h.window.status, kStatusStopped);
  }
  SiteSearchHarness h;
  h.pump.onPump = [&](int) {
    if (servedB && h.state.stopRequest == 0) searchStop(h.state, h.window);
  };
  EXPECT_EQ(h.run({site.url(), site.url("/e.html")}, true), EndReason::Stopped);
  EXPECT_EQ(h.fetchedUrls(), (std::vector<std::string>{site.url("/"), site.url("/b.html")}));
  EXPECT_EQ(h.window.status, kStatusStopped);
  EXPECT_FALSE(h.window.busyCursor);
}

TEST(SiteSearchStart, RefusedInputsAndBadNumbersNeverReachTheWeb) {
  NeedleServer server;
  {
    SiteSearchHarness h;
    h.controls.searchText[0] = "";
    EXPECT_EQ(h.run({server.url("/")}, false), std::nullopt);
    EXPECT_EQ(h.events(Kind::Message).size(), 1u);
    EXPECT_TRUE(h.window.searchFrameVisible);
  }
  for (std::string Settings::*number :
       {&Settings::hitsText, &Settings::timeoutText, &Settings::retryText}) {
    SiteSearchHarness h;
    h.controls.settings.*number = "many";
    const std::string bad = h.controls.settings.hitsText + "/" + h.controls.settings.timeoutText +
                            "/" + h.controls.settings.retryText;
    EXPECT_EQ(h.run({server.url("/")}, false), EndReason::Failed) << bad;
    EXPECT_TRUE(h.fetchedUrls().empty()) << bad;
    EXPECT_TRUE(h.nodeKeys().empty()) << bad;
    EXPECT_TRUE(h.events(Kind::ErrorDialog).empty()) << bad;
    EXPECT_EQ(h.window.status, kStatusStopped) << bad;
  }
  EXPECT_EQ(server.requestCount(), 0u);
}

TEST(SiteSearchErrors, RetryRepeatsTheMatchAndIgnoreEndsTheSearchAsAFailure) {
  NeedleServer server;
  {
    SiteSearchHarness h;
    h.wordMatcher.failures = {ErrorKind::DiskNotReady};
    h.window.errorAnswers = {ErrorAnswer::Retry};
    EXPECT_EQ(h.run({server.url("/")}, false), EndReason::Completed);
    const auto dialogs = h.events(Kind::ErrorDialog);
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].text, "Disk not ready! ( 71)");
    EXPECT_EQ(h.wordMatcher.calls, 2);
    EXPECT_EQ(h.fetchedUrls().size(), 1u);  // the fetch is not repeated
    EXPECT_EQ(h.foundCount, 1);
    EXPECT_FALSE(h.dir.exists("page.tmp"));
  }
  {
    SiteSearchHarness h;
    h.wordMatcher.failures = {ErrorKind::DeviceIO};
    h.window.errorAnswers = {ErrorAnswer::Ignore};
    EXPECT_EQ(h.run({server.url("/one"), server.url("/two")}, false), EndReason::Failed);
    EXPECT_EQ(h.fetchedUrls().size(), 1u);
    EXPECT_EQ(h.window.status, kStatusStopped);
  }
  {
    // A missing file skips the failing step: the page goes unlisted and the
    // search goes on.
    SiteSearchHarness h;
    h.wordMatcher.failures = {ErrorKind::FileNotFound};
    EXPECT_EQ(h.run({server.url("/one"), server.url("/two")}, false), EndReason::Completed);
    EXPECT_TRUE(h.events(Kind::ErrorDialog).empty());
    EXPECT_EQ(h.nodeKeys(), (std::vector<std::string>{"Mine\\", "Yahoo 1" + server.url("/two")}));
  }
}

// --- The crawl by the standard link rules: which addresses are asked for
// (each once), which pages are listed and what is reported instead ---

HttpTestServer::Handler needlePage(const std::string& links) {
  return HttpTestServer::page(page("needle " + links));
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
