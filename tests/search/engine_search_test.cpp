// The "Web Engines" search against loopback engines: the requests each
// engine gets (offsets, Yahoo!'s two passes, the Str() blank as %20), the
// nodes, headings and entries of the listed hits, the ends by Maximum Sites,
// by a stop during a fetch and by a failure, and the refused starts; and the
// user's engines (SearXNG JSON, RSS and Atom): paging by page number and by
// start index, hits de-duplicated across engines, engines that cannot be
// reached or answer with error pages, and checked hits.
#include "search/engine_search.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>

#include "app/search_frame.h"
#include "app/transcript.h"
#include "match/page_match.h"
#include "net/curl_fetcher.h"
#include "results/documents.h"
#include "results/page_view.h"
#include "search/fake_engine.h"
#include "search/site_fixture.h"
#include "support/counting_pump.h"
#include "support/window_events.h"

namespace quexa {
namespace {

using Kind = TranscriptEvent::Kind;
using test::FakeEngines;
using test::FakeHit;
using test::HttpTestServer;

struct Hit {
  std::string path;  // on the fake server
  std::string title;
};

struct EngineSearchTest : ::testing::Test {
  FakeEngines engines;
  HttpTestServer& server = engines.server;
  testing::ScratchDir dir;
  AppState state;
  TranscriptWindow window;
  test::CountingPump pump;
  CurlFetcher fetcher{pump};
  testing::WordMatcher matcher;
  MainControls controls;
  EngineHosts hosts;
  std::vector<UserEngine> userEngines;
  bool checkHits = false;
  int32_t found = -1;

  void SetUp() override {
    controls.searchText = {"Apple", "", "", ""};
    controls.settings.timeoutText = "5";
    controls.settings.retryText = "1";
    controls.frameMineEnabled = false;
    state.dataDir = dir.path();
  }

  void tick(std::initializer_list<Engine> ticked) {
    for (Engine e : ticked) controls.settings.*engineRow(e).tickBox = true;
  }

  std::optional<EndReason> run() {
    if (!server.port()) engines.start();
    hosts = engines.hosts();
    EngineSearchContext context{state, window, fetcher, pump, controls, hosts};
    context.userEngines = userEngines;
    context.checkHits = checkHits;
    context.matcher = &matcher;
    std::optional<EndReason> end = searchWebEngines(context);
    found = context.foundCount;
    return end;
  }

  std::vector<TranscriptEvent> nodes() const { return window.eventsOf(Kind::Node); }
  // The keys of the tree nodes added, or of those made visible.
  std::vector<std::string> keys(Kind kind = Kind::Node) const {
    std::vector<std::string> out;
    for (const auto& e : window.eventsOf(kind)) out.push_back(e.key);
    return out;
  }
  std::vector<std::string> texts(Kind kind) const { return test::eventTexts(window, kind); }
  std::string url(const std::string& path) const { return server.url(path); }

  // A user engine answers on `path` by the number in query parameter
  // `param`; pages not given are empty answers of the format.
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
    userEngines.push_back({.name = name, .urlTemplate = tmpl, .format = format, .ticked = true});
  }
};

TEST_F(EngineSearchTest, LycosHitsBecomeNodesHeadingEntriesAndStoreRecords) {
  tick({Engine::Lycos});
  engines.answer(test::lycosTarget(1),
                 test::lycosPage({
                     {"http://pie.example/one.html", "Apple One", "About one"},
                     {"http://pie.example/two.html", "Apple Two", "About two"},
                 }));
  EXPECT_EQ(run(), EndReason::Completed);
  EXPECT_EQ(found, 2);

  EXPECT_EQ(engines.targets(),
            (std::vector<std::string>{test::lycosTarget(1), test::lycosTarget(3)}));

  EXPECT_EQ(test::nodeLines(window),
            (std::vector<std::string>{
                "-|Lycos\\|Lycos|closed|open",
                "Lycos\\|Lycos 1http://pie.example/one.html| 1. Apple One|leaf|-",
                "Lycos\\|Lycos 2http://pie.example/two.html| 2. Apple Two|leaf|-"}));

  EXPECT_EQ(window.paneDocuments(Pane::All),
            (std::vector<std::string>{
                engineHeading("Lycos", false),
                hitEntry(1, "Apple One", "http://pie.example/one.html", "About one"),
                hitEntry(2, "Apple Two", "http://pie.example/two.html", "About two"),
            }));
  EXPECT_EQ(state.engineHitBuffer.text(),
            "http://pie.example/one.html <b>Apple One</b></a><br>About one</BO>"
            "http://pie.example/two.html <b>Apple Two</b></a><br>About two</BO>");

  EXPECT_EQ(texts(Kind::Status),
            (std::vector<std::string>{"Initializing .....", "", "Searching Lycos .....",
                                      "Searching Lycos .....", "Searching Lycos .....",
                                      "Ready to search!"}));
  EXPECT_EQ(texts(Kind::Found), (std::vector<std::string>{"Found: 0", "Found:  1", "Found:  2"}));
  EXPECT_EQ(state.foundStatus, "Found:  2");
  EXPECT_EQ(keys(Kind::MakeVisible).back(), "Lycos 2http://pie.example/two.html");
  EXPECT_EQ(state.searchRunning, 0);
  EXPECT_FALSE(window.lampBusy);
  EXPECT_FALSE(window.isEnabled(Control::searchStop));
  EXPECT_TRUE(window.isEnabled(Control::searchConfig));
}

TEST_F(EngineSearchTest, EachEngineGetsItsOffsetsInOrderWithTheBlankOnTheWire) {
  tick({Engine::AltaVista, Engine::Excite, Engine::InfoSeek, Engine::Lycos, Engine::Yahoo});
  engines.answer(test::yahooTarget(1, 1),
                 test::yahooPage({{"http://pie.example/y.html", "Y", "y"}}));
  engines.answer(test::lycosTarget(1), test::lycosPage({{"http://pie.example/l.html", "L", "l"}}));
  engines.answer(test::infoseekTarget(1),
                 test::infoseekPage({{"http://pie.example/i.html", "I", "i"}}));
  engines.answer(test::exciteTarget(0),
                 test::excitePage({{"http://pie.example/e.html", "E", "e"}}));
  engines.answer(test::altavistaTarget(1),
                 test::altavistaPage({{"http://pie.example/a.html", "A", "a"}}));
  EXPECT_EQ(run(), EndReason::Completed);

  // One hit each moves every offset on by one; Yahoo!'s second pass goes on
  // from the first pass's count.
  EXPECT_EQ(engines.targets(),
            (std::vector<std::string>{
                test::yahooTarget(1, 1), test::yahooTarget(1, 2), test::yahooTarget(2, 2),
                test::lycosTarget(1), test::lycosTarget(2), test::infoseekTarget(1),
                test::infoseekTarget(2), test::exciteTarget(0), test::exciteTarget(1),
                test::altavistaTarget(1), test::altavistaTarget(2)}));
  EXPECT_EQ(keys(),
            (std::vector<std::string>{"Yahoo\\", "Yahoo 1http://pie.example/y.html", "Lycos\\",
                                      "Lycos 2http://pie.example/l.html", "InfoSeek\\",
                                      "InfoSeek 3http://pie.example/i.html", "Excite\\",
                                      "Excite 4http://pie.example/e.html", "AltaVista\\",
                                      "Altavista 5http://pie.example/a.html"}));
  EXPECT_EQ(texts(Kind::Status)[2], "Searching Yahoo! .....");
  for (const char* status : {"Searching Lycos .....", "Searching InfoSeek .....",
                             "Searching Excite .....", "Searching AltaVista ....."}) {
    const std::vector<std::string> all = texts(Kind::Status);
    EXPECT_NE(std::find(all.begin(), all.end(), status), all.end()) << status;
  }
  // Yahoo! and Lycos come before two hits are listed; InfoSeek on is spaced.
  const std::vector<std::string> docs = window.paneDocuments(Pane::All);
  for (const auto& [heading, spaced] : {std::pair{"Yahoo!", false},
                                        {"Lycos", false},
                                        {"InfoSeek", true},
                                        {"Excite", true},
                                        {"AltaVista", true}})
    EXPECT_NE(std::find(docs.begin(), docs.end(), engineHeading(heading, spaced)), docs.end())
        << heading;
}

// AltaVista alone makes each leaf visible as it comes, then the last once
// more after each page (the second has no hits) and at the end.
TEST_F(EngineSearchTest, AltaVistaShowsEveryLeafAsItComes) {
  tick({Engine::AltaVista});
  engines.answer(test::altavistaTarget(1), test::altavistaPage(test::numberedHits("a", 1, 2)));
  EXPECT_EQ(run(), EndReason::Completed);
  const std::string first = "Altavista 1http://pie.example/a1.html";
  const std::string last = "Altavista 2http://pie.example/a2.html";
  EXPECT_EQ(keys(Kind::MakeVisible), (std::vector<std::string>{first, last, last, last, last}));
  EXPECT_EQ(engines.targets(),
            (std::vector<std::string>{test::altavistaTarget(1), test::altavistaTarget(3)}));
  // The tree still holds the engine's root: a second run is refused it
  // quietly; after "&Main" the tree is cleared and the run lists again.
  EXPECT_EQ(run(), EndReason::Failed);
  EXPECT_TRUE(window.eventsOf(Kind::ErrorDialog).empty());
  state.resetResults = 1;
  EXPECT_EQ(run(), EndReason::Completed);
  EXPECT_EQ(found, 2);
}

TEST_F(EngineSearchTest, YahooListsBothPassesUnderOneRootWithoutRepeats) {
  tick({Engine::Yahoo});
  engines.answer(test::yahooTarget(1, 1),
                 test::yahooPage({{"http://pie.example/y1.html", "Pie One", "First pie"},
                                  {"http://pie.example/y2.html", "Pie Two", "\n"}}));
  // The second pass starts at the third hit and repeats the second.
  engines.answer(test::yahooTarget(2, 3),
                 test::yahooPage({{"http://pie.example/y2.html", "Pie Two", "\n"},
                                  {"http://pie.example/y3.html", "Pie Three", "Third pie"}}));
  EXPECT_EQ(run(), EndReason::Completed);

  EXPECT_EQ(engines.targets(),
            (std::vector<std::string>{test::yahooTarget(1, 1), test::yahooTarget(1, 3),
                                      test::yahooTarget(2, 3), test::yahooTarget(2, 4)}));
  EXPECT_EQ(keys(), (std::vector<std::string>{"Yahoo\\", "Yahoo 1http://pie.example/y1.html",
                                              "Yahoo 2http://pie.example/y2.html",
                                              "Yahoo 3http://pie.example/y3.html"}));
  EXPECT_EQ(window.paneDocuments(Pane::All),
            (std::vector<std::string>{
                engineHeading("Yahoo!", false),
                hitEntry(1, "Pie One", "http://pie.example/y1.html", "First pie"),
                hitEntry(2, "Pie Two", "http://pie.example/y2.html", "No Short Description!"),
                hitEntry(3, "Pie Three", "http://pie.example/y3.html", "Third pie"),
            }));
}

struct MaximumSites {
  const char* hitsText;
  size_t listed;
  std::vector<std::string> targets;
};

struct EngineSearchMaximum : EngineSearchTest, ::testing::WithParamInterface<MaximumSites> {};

TEST_P(EngineSearchMaximum, EndsOnceMoreHitsThanTheMaximumAreListed) {
  tick({Engine::Lycos, Engine::Excite});
  controls.settings.hitsText = GetParam().hitsText;
  engines.answer(test::lycosTarget(1), test::lycosPage(test::numberedHits("l", 1, 8)));
  engines.answer(test::lycosTarget(9), test::lycosPage(test::numberedHits("l", 9, 8)));
  engines.answer(test::exciteTarget(0), test::excitePage(test::numberedHits("e", 1, 3)));
  EXPECT_EQ(run(), EndReason::Completed);
  EXPECT_EQ(found, static_cast<int32_t>(GetParam().listed));
  EXPECT_EQ(nodes().size(), GetParam().listed + 1);
  EXPECT_EQ(engines.targets(), GetParam().targets);
  EXPECT_EQ(window.status, "Ready to search!");
}

INSTANTIATE_TEST_SUITE_P(
    ZeroAndTen, EngineSearchMaximum,
    ::testing::Values(MaximumSites{"0", 1, {test::lycosTarget(1)}},
                      MaximumSites{"10", 11, {test::lycosTarget(1), test::lycosTarget(9)}}));

TEST_F(EngineSearchTest, StopDuringAFetchStillListsThatPageThenEnds) {
  tick({Engine::Lycos, Engine::Excite});
  std::atomic<bool> requested{false};
  std::atomic<bool> stopSeen{false};
  const std::string page = test::lycosPage(test::numberedHits("l", 1, 2));
  engines.server.on("/cgi-bin/pursuit", [&](const httplib::Request&, httplib::Response& res) {
    requested = true;
    // Answers only once Stop was pressed while the request was pending.
    for (int i = 0; i < 200 && !stopSeen; ++i) engines.server.pause(std::chrono::milliseconds(50));
    res.set_content(page, "text/html");
  });
  pump.onPump = [&](int) {
    if (requested && !stopSeen) {
      searchStop(state, window);
      stopSeen = true;
    }
  };
  EXPECT_EQ(run(), EndReason::Stopped);
  ASSERT_TRUE(stopSeen);

  EXPECT_EQ(found, 2);
  EXPECT_EQ(keys(), (std::vector<std::string>{"Lycos\\", "Lycos 1http://pie.example/l1.html",
                                              "Lycos 2http://pie.example/l2.html"}));
  EXPECT_EQ(engines.targets(), (std::vector<std::string>{test::lycosTarget(1)}));
  // The engine's status is not shown again over the closing message.
  const std::vector<std::string> status = texts(Kind::Status);
  ASSERT_GE(status.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(status.end() - 3, status.end()),
            (std::vector<std::string>{"Searching Lycos .....", kStatusClosing, kStatusStopped}));
  EXPECT_EQ(state.searchRunning, 0);
  EXPECT_FALSE(window.busyCursor);
}

TEST_F(EngineSearchTest, AnEngineWithoutHitsIsLeftOutAfterOneRequest) {
  tick({Engine::Lycos, Engine::InfoSeek, Engine::Excite});
  engines.answer(test::lycosTarget(1), test::lycosPage(test::numberedHits("l", 1, 1)));
  // Only the engine's own links: nothing is listed, and it is its last page.
  engines.answer(test::infoseekTarget(1), test::infoseekPage({}));
  engines.answer(test::exciteTarget(0), test::excitePage(test::numberedHits("e", 1, 1)));
  EXPECT_EQ(run(), EndReason::Completed);

  for (const std::string& key : keys()) EXPECT_EQ(key.find("InfoSeek"), std::string::npos);
  EXPECT_EQ(window.paneDocuments(Pane::All),
            (std::vector<std::string>{
                engineHeading("Lycos", false),
                hitEntry(1, "Apple l1", "http://pie.example/l1.html", "About l1"),
                engineHeading("Excite", false),
                hitEntry(2, "Apple e1", "http://pie.example/e1.html", "About e1")}));
  const std::vector<std::string> targets = engines.targets();
  EXPECT_EQ(std::count_if(targets.begin(), targets.end(),
                          [](const std::string& t) { return t.rfind("/Titles", 0) == 0; }),
            1);
}

TEST_F(EngineSearchTest, RefusedStartsChangeNothingAndFailuresEndAsStopped) {
  // No engine ticked.
  EXPECT_EQ(run(), std::nullopt);
  EXPECT_EQ(window.eventsOf(Kind::Message).back().title, "Search Engine Missing");

  // No text: a box of blanks would count, empty boxes do not.
  tick({Engine::Excite});
  controls.searchText = {"", "", "", ""};
  EXPECT_EQ(run(), std::nullopt);
  EXPECT_EQ(window.eventsOf(Kind::Message).back().title, "Text Missing");
  EXPECT_EQ(engines.server.requestCount(), 0u);

  // A Maximum Sites box that is no number ends the run before any request,
  // and the status does not claim a normal end.
  controls.searchText = {"apple", "", "", ""};
  controls.settings.hitsText = "many";
  EXPECT_EQ(run(), EndReason::Failed);
  EXPECT_EQ(window.status, kStatusStopped);
  EXPECT_EQ(state.searchRunning, 0);
  EXPECT_EQ(engines.server.requestCount(), 0u);
}

TEST_F(EngineSearchTest, EachFormatPagesOnAndListsEveryAddressOnce) {
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
      engines.targets(),
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

TEST_F(EngineSearchTest, FailingEnginesAreReportedAndTheOthersStillRun) {
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
  userEngines.push_back(userEngines.back());
  userEngines.back().name = "Unticked";
  userEngines.back().ticked = false;

  EXPECT_EQ(run(), EndReason::Completed);
  EXPECT_EQ(found, 1);
  ASSERT_EQ(window.unfetched.size(), 3u);
  EXPECT_NE(window.unfetched[0].second.find("Gone: no answer"), std::string::npos);
  EXPECT_NE(window.unfetched[1].second.find("Error: the answer is no RSS document"),
            std::string::npos);
  EXPECT_NE(window.unfetched[2].second.find("Broken: the answer is no JSON object"),
            std::string::npos);
  EXPECT_EQ(texts(Kind::Status).back(), "Ready to search!");
}

TEST_F(EngineSearchTest, MaximumSitesEndsTheRunInAUserEngine) {
  serve("/searx", ResultFormat::SearxngJson, "pageno",
        {{"1", {{"/a1", "A1"}, {"/a2", "A2"}, {"/a3", "A3"}}}});
  server.start();
  addEngine("Searx", url("/searx?q={searchTerms}&pageno={startPage}"), ResultFormat::SearxngJson);
  controls.settings.hitsText = "1";
  EXPECT_EQ(run(), EndReason::Completed);
  EXPECT_EQ(found, 2);
}

TEST_F(EngineSearchTest, CheckedHitsListOnlyPagesHoldingTheTextsForEveryEngine) {
  tick({Engine::Lycos});
  engines.start();
  const std::string l2 = url("/l2");
  engines.answer(test::lycosTarget(1), test::lycosPage({{url("/l1"), "L1", "x"}, {l2, "L2", "x"}}));
  server.on("/l1", HttpTestServer::page("<html><body>no fruit</body></html>"));
  server.on("/l2", HttpTestServer::page("<html><body>an apple a day</body></html>"));
  serve("/searx", ResultFormat::SearxngJson, "pageno",
        {{"1", {{"/s1", "S1"}, {"/s2", "S2"}, {"/s3", "S3"}}}});
  server.on("/s1", HttpTestServer::page("<html><body>apple pie</body></html>"));
  server.on("/s2", HttpTestServer::page("<html><body>pear</body></html>"));
  server.on("/s3", HttpTestServer::errorPage(404, "<html><body>Not Found</body></html>"));
  addEngine("Searx", url("/searx?q={searchTerms}&pageno={startPage}"), ResultFormat::SearxngJson);
  checkHits = true;

  EXPECT_EQ(run(), EndReason::Completed);
  EXPECT_EQ(found, 2);
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
  EXPECT_EQ(server.requestCount("/l1"), 1u);
  EXPECT_EQ(server.requestCount("/s2"), 1u);
  EXPECT_FALSE(dir.exists(kPageFileName));
}

}  // namespace
}  // namespace quexa
