// The user's engines in the "Web Engines" search, against loopback fakes of
// a SearXNG instance and of OpenSearch RSS and Atom services: paging by
// page number and by start index, hits de-duplicated across engines, engines
// that cannot be reached or answer with error pages, and checked hits.
#include <gtest/gtest.h>

#include "match/page_match.h"
#include "results/documents.h"
#include "results/page_view.h"
#include "search/engine_search.h"
#include "search/fake_engine.h"
#include "search/site_fixture.h"
#include "support/window_events.h"

namespace quexa {
namespace {

using test::HttpTestServer;

struct Hit {
  std::string path;  // on the fake server
  std::string title;
};

// Keeps the quiet failure reports, which the plain transcript drops.
struct ReportingWindow : TranscriptWindow {
  std::vector<std::string> unfetched;
  void reportUnfetched(std::string_view url, std::string_view reason) override {
    unfetched.push_back(std::string(url) + " " + std::string(reason));
  }
};

struct UserEnginesTest : ::testing::Test {
  HttpTestServer server;
  testing::ScratchDir dir;
  AppState state;
  ReportingWindow window;
  test::CountingPump pump;
  CurlFetcher fetcher{pump};
  testing::WordMatcher matcher;
  MainControls controls;
  EngineHosts hosts;
  std::vector<UserEngine> engines;
  bool checkHits = false;
  int32_t found = -1;

  void SetUp() override {
    controls.searchText = {"Apple", "", "", ""};
    controls.settings.timeoutText = "5";
    controls.settings.retryText = "0";
    controls.frameMineEnabled = false;
    state.dataDir = dir.path();
  }

  std::string url(const std::string& path) const { return server.url(path); }

  // Answers on `path` by the number in query parameter `param`; pages not
  // given are empty answers of the format.
  void serve(const std::string& path, ResultFormat format, const std::string& param,
             std::map<std::string, std::vector<Hit>> pages) {
    server.on(path, [=, this](const httplib::Request& req, httplib::Response& res) {
      const auto it = pages.find(param.empty() ? "" : req.get_param_value(param));
      const std::vector<Hit> hits = it == pages.end() ? std::vector<Hit>{} : it->second;
      res.set_content(answer(format, hits),
                      format == ResultFormat::SearxngJson ? "application/json" : "application/xml");
    });
  }

  std::string answer(ResultFormat format, const std::vector<Hit>& hits) const {
    std::string body;
    for (const Hit& h : hits) {
      const std::string u = url(h.path);
      switch (format) {
        case ResultFormat::SearxngJson:
          body += std::string(body.empty() ? "" : ",") + R"({"url":")" + u + R"(","title":")" +
                  h.title + R"(","content":"About <b>)" + h.title + R"(</b>"})";
          break;
        case ResultFormat::Rss:
          body += "<item><title>" + h.title + "</title><link>" + u +
                  "</link><description>About &lt;b&gt;" + h.title +
                  "&lt;/b&gt;</description></item>";
          break;
        case ResultFormat::Atom:
          body += "<entry><title>" + h.title + "</title><link href=\"" + u + "\"/><summary>About " +
                  h.title + "</summary></entry>";
          break;
      }
    }
    if (format == ResultFormat::SearxngJson) return R"({"results":[)" + body + "]}";
    if (format == ResultFormat::Rss)
      return "<rss version=\"2.0\"><channel>" + body + "</channel></rss>";
    return "<feed xmlns=\"http://www.w3.org/2005/Atom\">" + body + "</feed>";
  }

  void addEngine(const std::string& name, const std::string& tmpl, ResultFormat format) {
    UserEngine e;
    e.name = name;
    e.urlTemplate = tmpl;
    e.format = format;
    e.ticked = true;
    engines.push_back(e);
  }

  std::optional<EndReason> run() {
    if (!server.port()) server.start();
    EngineSearchContext context{state, window, fetcher, pump, controls, hosts};
    context.userEngines = engines;
    context.checkHits = checkHits;
    context.matcher = &matcher;
    std::optional<EndReason> end = searchWebEngines(context);
    found = context.foundCount;
    return end;
  }

  std::vector<std::string> targets() const {
    std::vector<std::string> out;
    for (const test::RecordedRequest& r : server.requests()) out.push_back(r.target);
    return out;
  }
};

TEST_F(UserEnginesTest, EachFormatPagesOnAndListsEveryAddressOnce) {
  serve("/searx", ResultFormat::SearxngJson, "pageno",
        {{"1", {{"/a1", "A1"}, {"/a2", "A2"}}},
         {"2", {{"/a2", "A2"}, {"/a3", "A3"}}},
         {"3", {{"/a3", "A3"}}}});
  // Its second page holds only hits listed by the first engine: it still
  // leads to the third, which brings nothing new.
  serve("/rss", ResultFormat::Rss, "start",
        {{"1", {{"/b1", "B1"}, {"/a1", "A1"}}}, {"3", {{"/a3", "A3"}}}});
  serve("/atom", ResultFormat::Atom, "", {{"", {{"/c1", "C1"}, {"/b1", "B1"}}}});
  server.start();
  addEngine("Searx", url("/searx?q={searchTerms}&format=json&pageno={startPage}"),
            ResultFormat::SearxngJson);
  addEngine("Feed", url("/rss?q={searchTerms}&start={startIndex?}&n={count?}"), ResultFormat::Rss);
  addEngine("Atom Peer", url("/atom?q={searchTerms}"), ResultFormat::Atom);
  controls.searchText = {"Apple", "red pie", "", ""};
  controls.connector = {kConnectorNot, kConnectorAnd, kConnectorAnd};

  EXPECT_EQ(run(), EndReason::Completed);
  EXPECT_EQ(found, 5);
  const std::string q = "Apple%20-%22red%20pie%22";
  EXPECT_EQ(
      targets(),
      (std::vector<std::string>{
          "/searx?q=" + q + "&format=json&pageno=1", "/searx?q=" + q + "&format=json&pageno=2",
          "/searx?q=" + q + "&format=json&pageno=3", "/rss?q=" + q + "&start=1&n=",
          "/rss?q=" + q + "&start=3&n=", "/rss?q=" + q + "&start=4&n=", "/atom?q=" + q}));
  const std::string a1 = url("/a1"), a2 = url("/a2"), a3 = url("/a3"), b1 = url("/b1"),
                    c1 = url("/c1");
  EXPECT_EQ(test::nodeLines(window),
            (std::vector<std::string>{
                "-|Searx\\|Searx|closed|open", "Searx\\|Searx 1" + a1 + "| 1. A1|leaf|-",
                "Searx\\|Searx 2" + a2 + "| 2. A2|leaf|-",
                "Searx\\|Searx 3" + a3 + "| 3. A3|leaf|-", "-|Feed\\|Feed|closed|open",
                "Feed\\|Feed 4" + b1 + "| 4. B1|leaf|-", "-|Atom Peer\\|Atom Peer|closed|open",
                "Atom Peer\\|Atom Peer 5" + c1 + "| 5. C1|leaf|-"}));
  EXPECT_EQ(window.paneDocuments(Pane::All),
            (std::vector<std::string>{
                engineHeading("Searx", false), hitEntry(1, "A1", a1, "About A1"),
                hitEntry(2, "A2", a2, "About A2"), hitEntry(3, "A3", a3, "About A3"),
                engineHeading("Feed", true), hitEntry(4, "B1", b1, "About B1"),
                engineHeading("Atom Peer", true), hitEntry(5, "C1", c1, "About C1")}));
  EXPECT_EQ(hitDetailDocument(state.engineHitBuffer, "Feed 4" + b1),
            hitDetailView(hitDetail("B1", b1, "About B1")));
  EXPECT_TRUE(window.unfetched.empty());
}

TEST_F(UserEnginesTest, FailingEnginesAreReportedAndTheOthersStillRun) {
  server.on("/error", HttpTestServer::errorPage(502, "<html><body>Bad Gateway</body></html>"));
  server.on("/broken", HttpTestServer::page("{\"results\": [", "application/json"));
  serve("/good", ResultFormat::Rss, "", {{"", {{"/g1", "G1"}}}});
  server.start();
  HttpTestServer closed;
  closed.start();
  const std::string gone = closed.url("/s?q={searchTerms}");
  closed.stop();
  addEngine("Gone", gone, ResultFormat::Rss);
  addEngine("Error", url("/error?q={searchTerms}"), ResultFormat::Rss);
  addEngine("Broken", url("/broken?q={searchTerms}"), ResultFormat::SearxngJson);
  addEngine("Good", url("/good?q={searchTerms}"), ResultFormat::Rss);
  engines.push_back(engines.back());
  engines.back().name = "Unticked";
  engines.back().ticked = false;

  EXPECT_EQ(run(), EndReason::Completed);
  EXPECT_EQ(found, 1);
  ASSERT_EQ(window.unfetched.size(), 3u);
  EXPECT_NE(window.unfetched[0].find("Gone: no answer"), std::string::npos);
  EXPECT_NE(window.unfetched[1].find("Error: the answer is no RSS document"), std::string::npos);
  EXPECT_NE(window.unfetched[2].find("Broken: the answer is no JSON object"), std::string::npos);
  EXPECT_EQ(test::eventTexts(window, TranscriptEvent::Kind::Status).back(), "Ready to search!");
}

TEST_F(UserEnginesTest, MaximumSitesEndsTheRunInAUserEngine) {
  serve("/searx", ResultFormat::SearxngJson, "pageno",
        {{"1", {{"/a1", "A1"}, {"/a2", "A2"}, {"/a3", "A3"}}}});
  server.start();
  addEngine("Searx", url("/searx?q={searchTerms}&pageno={startPage}"), ResultFormat::SearxngJson);
  controls.settings.hitsText = "1";
  EXPECT_EQ(run(), EndReason::Completed);
  EXPECT_EQ(found, 2);
}

TEST_F(UserEnginesTest, CheckedHitsListOnlyPagesHoldingTheTextsForEveryEngine) {
  test::FakeEngines lycos;
  lycos.start();
  lycos.answer(test::lycosTarget(1),
               test::lycosPage({{"http://" + lycos.server.hostAndPort() + "/l1", "L1", "x"},
                                {"http://" + lycos.server.hostAndPort() + "/l2", "L2", "x"}}));
  lycos.server.on("/l1", HttpTestServer::page("<html><body>no fruit</body></html>"));
  lycos.server.on("/l2", HttpTestServer::page("<html><body>an apple a day</body></html>"));
  hosts = lycos.hosts();
  controls.settings.chkLycos = true;
  serve("/searx", ResultFormat::SearxngJson, "pageno",
        {{"1", {{"/s1", "S1"}, {"/s2", "S2"}, {"/s3", "S3"}}}});
  server.on("/s1", HttpTestServer::page("<html><body>apple pie</body></html>"));
  server.on("/s2", HttpTestServer::page("<html><body>pear</body></html>"));
  server.on("/s3", HttpTestServer::errorPage(404, "<html><body>Not Found</body></html>"));
  server.start();
  addEngine("Searx", url("/searx?q={searchTerms}&pageno={startPage}"), ResultFormat::SearxngJson);
  checkHits = true;

  EXPECT_EQ(run(), EndReason::Completed);
  EXPECT_EQ(found, 2);
  const std::string l2 = "http://" + lycos.server.hostAndPort() + "/l2";
  const std::string s1 = url("/s1");
  const std::string body = matchingBody("found apple\\par ");
  EXPECT_EQ(window.paneDocuments(Pane::All),
            (std::vector<std::string>{engineHeading("Lycos", false), siteEntry(1, l2, body),
                                      engineHeading("Searx", false), siteEntry(2, s1, body)}));
  EXPECT_EQ(test::nodeLines(window),
            (std::vector<std::string>{
                "-|Lycos\\|Lycos|closed|open", "Lycos\\|Lycos 1" + l2 + "| 1. L2|leaf|-",
                "-|Searx\\|Searx|closed|open", "Searx\\|Searx 2" + s1 + "| 2. S1|leaf|-"}));
  // Every hit page was fetched once, the unlisted ones included.
  EXPECT_EQ(lycos.server.requestCount("/l1"), 1u);
  EXPECT_EQ(server.requestCount("/s2"), 1u);
  EXPECT_FALSE(dir.exists(kPageFileName));
}

}  // namespace
}  // namespace quexa
