// quexa-cli engines against loopback engines: its JSON Lines transcript is
// the one the engine search writes in-process, the saved tick boxes and
// qxhosts.ini stand in for --engine and --host; and quexa-cli engine
// add|list|remove with the user engines it adds, asked for by name.
#include <gtest/gtest.h>

#include "app/settings.h"
#include "app/transcript.h"
#include "net/curl_fetcher.h"
#include "search/engine_search.h"
#include "search/fake_engine.h"
#include "search/site_fixture.h"
#include "support/cli_transcript.h"

namespace quexa {
namespace {

using nlohmann::json;
using test::CliRun;
using test::HttpTestServer;
using test::jsonLines;
using test::runCli;
using test::transcriptLines;

struct EnginesCli : ::testing::Test {
  testing::ScratchDir dir;
  test::FakeEngines engines;
  HttpTestServer& server = engines.server;

  void SetUp() override {
    engines.answer(test::lycosTarget(1), test::lycosPage(test::numberedHits("l", 1, 2)));
    engines.answer(test::exciteTarget(0), test::excitePage(test::numberedHits("e", 1, 2)));
    engines.answer(test::altavistaTarget(1), test::altavistaPage(test::numberedHits("a", 1, 1)));
    // A user engine's feed of two hits, of which only the first holds "apple".
    server.on("/rss", [this](const httplib::Request&, httplib::Response& res) {
      res.set_content("<rss><channel><item><title>Ripe</title><link>" + server.url("/ripe") +
                          "</link></item><item><title>Raw</title><link>" + server.url("/raw") +
                          "</link></item></channel></rss>",
                      "application/rss+xml");
    });
    server.on("/ripe", HttpTestServer::page("<html><body>an apple pie</body></html>"));
    server.on("/raw", HttpTestServer::page("<html><body>a pear</body></html>"));
    engines.start();
  }

  CliRun run(const std::string& args) { return runCli(dir, "engines " + args); }

  // The same search in-process: saved defaults with the flags of the run.
  TranscriptWindow inProcess(std::initializer_list<Engine> ticked) {
    TranscriptWindow window;
    AppState state;
    state.dataDir = dir.path();
    NullPump pump;
    CurlFetcher curl(pump);
    testing::RecordingFetcher fetcher(curl, window);
    MainControls controls;
    controls.searchText = {"apple", "", "", ""};
    controls.settings.timeoutText = "2";
    controls.settings.retryText = "1";
    for (Engine e : ticked) controls.settings.*engineRow(e).tickBox = true;
    controls.frameMineEnabled = false;
    const EngineHosts hosts = engines.hosts();
    EngineSearchContext context{state, window, fetcher, pump, controls, hosts};
    EXPECT_EQ(searchWebEngines(context), EndReason::Completed);
    return window;
  }
};

TEST_F(EnginesCli, JsonTranscriptIsTheInProcessOne) {
  const std::string at = "=" + server.hostAndPort();
  CliRun r = run("--engine excite --engine LYCOS --host lycos" + at + " --host excite" + at +
                 " --timeout 30 --retry 3 --format json apple");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(server.requestCount(), 4u);  // two pages each, the second without hits

  std::vector<json> expected = transcriptLines(inProcess({Engine::Lycos, Engine::Excite}).events);
  expected.push_back(
      {{"event", "end"}, {"stopped", false}, {"found", 4}, {"status", "Ready to search!"}});
  EXPECT_EQ(jsonLines(r.out), expected);
  // The engines are read in the window's order, whatever the options' order
  // (on the wire, Excite's first page may come ahead).
  std::vector<std::string> fetched;
  for (const json& line : jsonLines(r.out))
    if (line["event"] == "fetch") fetched.push_back(line["url"]);
  ASSERT_EQ(fetched.size(), 4u);
  EXPECT_NE(fetched[0].find(test::lycosTarget(1)), std::string::npos) << fetched[0];
  EXPECT_NE(fetched[2].find("/search.gw?s=%2Bapple&start= 0"), std::string::npos) << fetched[2];
}

TEST_F(EnginesCli, SavedTickBoxesAndHostsFileStandInForTheOptions) {
  EXPECT_EQ(run("apple").exitCode, 2);  // no engine saved or given
  Settings saved;
  saved.chkAltavista = true;
  saveSettings(dir.path(), saved);
  dir.write("qxhosts.ini", "[AltaVista]\r\nhost=" + server.hostAndPort() + "\r\n");
  EXPECT_EQ(run("").exitCode, 2);  // no search text
  EXPECT_EQ(server.requestCount(), 0u);

  CliRun r = run("--timeout 30 --retry 3 apple");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(engines.targets(),
            (std::vector<std::string>{test::altavistaTarget(1), test::altavistaTarget(2)}));
  EXPECT_NE(r.out.find("Apple a1"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("http://pie.example/a1.html"), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("Searching AltaVista ....."), std::string::npos) << r.err;
}

TEST_F(EnginesCli, EngineAddListRemoveAndRefusals) {
  server.on("/osd.xml", HttpTestServer::page("<OpenSearchDescription><ShortName>Feed</ShortName>"
                                             "<Url type=\"application/rss+xml\" template=\"" +
                                             server.url("/rss?q={searchTerms}") +
                                             "\"/></OpenSearchDescription>"));
  EXPECT_EQ(runCli(dir, "engine add " + server.url("/osd.xml")).exitCode, 0);
  EXPECT_EQ(runCli(dir,
                   "engine add Searx 'http://localhost:8888/search?q={searchTerms}&format=json"
                   "&pageno={startPage}' --format searxng-json")
                .exitCode,
            0);
  const CliRun list = runCli(dir, "engine list");
  EXPECT_EQ(list.exitCode, 0);
  EXPECT_EQ(list.out, "Feed\trss\tticked\t" + server.url("/rss?q={searchTerms}") +
                          "\nSearx\tsearxng-json\tticked\thttp://localhost:8888/search?q="
                          "{searchTerms}&format=json&pageno={startPage}\n");

  const std::string before = dir.read("qxengines.ini");
  const std::pair<const char*, const char*> refused[] = {
      {"add feed 'http://x/?q={searchTerms}' --format rss", "exists already"},
      {"add 'a[b]' 'http://x/?q={searchTerms}' --format rss", "brackets"},
      {"add X 'http://x/?q={searchTerms}' --format html", "unknown format"},
      {"add X 'http://x/?q={searchTerms}'", "needs --format"},
      {"add X /osd.xml", "cannot fetch"},
      {"remove Nobody", "no engine named"},
  };
  for (const auto& [args, message] : refused) {
    const CliRun r = runCli(dir, std::string("engine ") + args);
    EXPECT_NE(r.exitCode, 0) << args;
    EXPECT_NE(r.err.find(message), std::string::npos) << args << ": " << r.err;
  }
  EXPECT_EQ(runCli(dir, "engine add Y " + server.url("/rss")).exitCode, 2);
  EXPECT_EQ(dir.read("qxengines.ini"), before);

  EXPECT_EQ(runCli(dir, "engine remove Searx").exitCode, 0);
  EXPECT_EQ(runCli(dir, "engine list").out,
            "Feed\trss\tticked\t" + server.url("/rss?q={searchTerms}") + "\n");

  // Asked for by name in any case; --check-hits lists only the hit whose
  // page holds the text.
  const CliRun listed = run("--engine feed --timeout 30 --retry 3 apple");
  EXPECT_EQ(listed.exitCode, 0) << listed.err;
  EXPECT_NE(listed.out.find(server.url("/raw")), std::string::npos);
  const CliRun checked = run("--engine Feed --check-hits --timeout 30 --retry 3 apple");
  EXPECT_EQ(checked.exitCode, 0) << checked.err;
  EXPECT_NE(checked.out.find(server.url("/ripe")), std::string::npos) << checked.out;
  EXPECT_EQ(checked.out.find(server.url("/raw")), std::string::npos) << checked.out;
}

}  // namespace
}  // namespace quexa
