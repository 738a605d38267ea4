// The "Web Engines" search against loopback engines: the requests each
// engine gets (offsets, Yahoo!'s two passes, the Str() blank as %20), the
// nodes, headings and entries of the listed hits, the ends by Maximum Sites,
// by a stop during a fetch and by a failure, and the refused starts.
#include "search/engine_search.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>

#include "app/search_frame.h"
#include "app/transcript.h"
#include "net/curl_fetcher.h"
#include "results/documents.h"
#include "search/fake_engine.h"
#include "support/counting_pump.h"
#include "support/window_events.h"

namespace quexa {
namespace {

using Kind = TranscriptEvent::Kind;
using test::FakeEngines;
using test::FakeHit;

struct EngineSearchTest : ::testing::Test {
  FakeEngines engines;
  AppState state;
  TranscriptWindow window;
  test::CountingPump pump;
  CurlFetcher fetcher{pump};
  MainControls controls;
  EngineHosts hosts;
  int32_t found = -1;

  void SetUp() override {
    controls.searchText = {"Apple", "", "", ""};
    controls.settings.timeoutText = "5";
    controls.settings.retryText = "1";
    controls.frameMineEnabled = false;
  }

  void tick(std::initializer_list<Engine> ticked) {
    for (Engine e : ticked) controls.settings.*engineRow(e).tickBox = true;
  }

  std::optional<EndReason> run() {
    if (!engines.server.port()) engines.start();
    hosts = engines.hosts();
    EngineSearchContext context{state, window, fetcher, pump, controls, hosts};
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

TEST_F(EngineSearchTest, ASecondRunWithoutMainRefusesTheRepeatedRootQuietly) {
  tick({Engine::Excite});
  engines.answer(test::exciteTarget(0), test::excitePage(test::numberedHits("e", 1, 1)));
  EXPECT_EQ(run(), EndReason::Completed);
  // The tree still holds "Excite\": the second run ends at its first hit.
  EXPECT_EQ(run(), EndReason::Failed);
  EXPECT_EQ(window.status, kStatusStopped);
  EXPECT_TRUE(window.eventsOf(Kind::ErrorDialog).empty());
  // After "&Main" the tree is cleared and the run lists again.
  state.resetResults = 1;
  EXPECT_EQ(run(), EndReason::Completed);
  EXPECT_EQ(found, 1);
  EXPECT_EQ(window.status, kStatusReady);
}

}  // namespace
}  // namespace quexa
