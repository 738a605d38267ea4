// quexa-cli engines against loopback engines: its JSON Lines transcript is
// the one the engine search writes in-process, the saved tick boxes and
// qxhosts.ini stand in for --engine and --host, and bad usage is refused.
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
using test::FakeEngines;
using test::jsonLines;
using test::runCli;
using test::transcriptLines;

struct EnginesCli : ::testing::Test {
  testing::ScratchDir dir;
  FakeEngines engines;

  void SetUp() override {
    engines.answer(test::lycosTarget(1), test::lycosPage(test::numberedHits("l", 1, 2)));
    engines.answer(test::exciteTarget(0), test::excitePage(test::numberedHits("e", 1, 2)));
    engines.answer(test::altavistaTarget(1), test::altavistaPage(test::numberedHits("a", 1, 1)));
    engines.start();
  }

  CliRun run(const std::string& args) { return runCli(dir, "engines " + args); }

  std::string hostArgs(std::initializer_list<const char*> names) const {
    std::string args;
    for (const char* name : names)
      args += std::string(" --host ") + name + "=" + engines.server.hostAndPort();
    return args;
  }

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
  const std::string args = "--engine excite --engine LYCOS" + hostArgs({"lycos", "excite"}) +
                           " --timeout 30 --retry 3 --format json apple";
  CliRun r = run(args);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  const size_t cliRequests = engines.server.requestCount();
  EXPECT_EQ(cliRequests, 4u);  // two pages each, the second without hits

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
  Settings saved;
  saved.chkAltavista = true;
  saveSettings(dir.path(), saved);
  dir.write("qxhosts.ini", "[AltaVista]\r\nhost=" + engines.server.hostAndPort() + "\r\n");
  CliRun r = run("--timeout 30 --retry 3 apple");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(engines.targets(),
            (std::vector<std::string>{test::altavistaTarget(1), test::altavistaTarget(2)}));
  EXPECT_NE(r.out.find("Apple a1"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("http://pie.example/a1.html"), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("Searching AltaVista ....."), std::string::npos) << r.err;

  // --host goes over the file: a host nobody listens on gives empty pages.
  CliRun elsewhere = run("--timeout 30 --retry 3 --host altavista=127.0.0.1:1 apple");
  EXPECT_EQ(elsewhere.exitCode, 0) << elsewhere.err;
  EXPECT_EQ(engines.server.requestCount(), 2u);
  EXPECT_EQ(elsewhere.out.find("Apple a1"), std::string::npos) << elsewhere.out;
}

TEST_F(EnginesCli, BadUsageIsRefusedBeforeAnyRequest) {
  EXPECT_EQ(run("--engine excite").exitCode, 2);  // no search text
  EXPECT_EQ(run("apple").exitCode, 2);            // no engine saved or given
  EXPECT_EQ(run("--engine excite --max-sites lots" + hostArgs({"excite"}) + " apple").exitCode, 2);
  EXPECT_EQ(engines.server.requestCount(), 0u);
}

}  // namespace
}  // namespace quexa
