// quexa-cli engines against loopback engines: its JSON Lines transcript is
// the one the engine search writes in-process, the saved tick boxes and
// qxhosts.ini stand in for --engine and --host, and bad usage is refused.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <sstream>

#include "app/settings.h"
#include "app/transcript.h"
#include "net/curl_fetcher.h"
#include "search/engine_search.h"
#include "search/fake_engine.h"
#include "support/scratch_dir.h"

namespace quexa {
namespace {

using nlohmann::json;
using test::FakeEngines;
using Kind = TranscriptEvent::Kind;

struct CliRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

json optionalText(const std::optional<std::string>& s) {
  return s ? json(*s) : json(nullptr);
}

// The transcript lines the command line prints for the events of a window.
std::vector<json> transcriptLines(const TranscriptWindow& window) {
  std::vector<json> lines;
  auto pane = [](Pane p) { return p == Pane::All ? "all" : "page"; };
  for (const auto& e : window.events) {
    switch (e.kind) {
      case Kind::Status:
        lines.push_back({{"event", "status"}, {"text", e.text}});
        break;
      case Kind::Found:
        lines.push_back({{"event", "found"}, {"text", e.text}});
        break;
      case Kind::Fetch:
        lines.push_back({{"event", "fetch"}, {"url", e.text}});
        break;
      case Kind::Insert:
        lines.push_back({{"event", "insert"}, {"pane", pane(e.pane)}, {"rtf", e.text}});
        break;
      case Kind::Clear:
        lines.push_back({{"event", "clear"}, {"pane", pane(e.pane)}});
        break;
      case Kind::Node:
        lines.push_back({{"event", "node"},
                         {"parent", optionalText(e.parentKey)},
                         {"key", e.key},
                         {"text", e.text},
                         {"image", e.image},
                         {"expanded", optionalText(e.expandedImage)}});
        break;
      case Kind::MakeVisible:
        break;
      default:
        ADD_FAILURE() << "unexpected event in an engine search";
    }
  }
  return lines;
}

std::vector<json> parsedLines(const std::string& out) {
  std::vector<json> lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) lines.push_back(json::parse(line));
  return lines;
}

// Records every request attempt as the command line's fetcher does.
class RecordingFetcher : public Fetcher {
 public:
  RecordingFetcher(Fetcher& inner, TranscriptWindow& window) : inner_(inner), window_(window) {}
  FetchResult fetch(const std::string& url, int timeoutSeconds) override {
    window_.recordFetch(url);
    return inner_.fetch(url, timeoutSeconds);
  }
  void cancel() override { inner_.cancel(); }
  void setProxy(AccessType access, const std::string& proxyName) override {
    inner_.setProxy(access, proxyName);
  }

 private:
  Fetcher& inner_;
  TranscriptWindow& window_;
};

struct EnginesCli : ::testing::Test {
  testing::ScratchDir dir;
  FakeEngines engines;

  void SetUp() override {
    engines.answer(test::lycosTarget(1), test::lycosPage(test::numberedHits("l", 1, 2)));
    engines.answer(test::exciteTarget(0), test::excitePage(test::numberedHits("e", 1, 2)));
    engines.answer(test::altavistaTarget(1), test::altavistaPage(test::numberedHits("a", 1, 1)));
    engines.start();
  }

  CliRun run(const std::string& args) {
    const std::string command = std::string(QUEXA_BIN_DIR) + "/quexa-cli --data-dir '" +
                                dir.path() + "' engines " + args + " >'" + dir.file("out") +
                                "' 2>'" + dir.file("err") + "'";
    CliRun r;
    const int status = std::system(command.c_str());
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = dir.read("out");
    r.err = dir.read("err");
    return r;
  }

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
    RecordingFetcher fetcher(curl, window);
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
                           " --timeout 2 --retry 1 --format json apple";
  CliRun r = run(args);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  const size_t cliRequests = engines.server.requestCount();
  EXPECT_EQ(cliRequests, 4u);  // two pages each, the second without hits

  std::vector<json> expected = transcriptLines(inProcess({Engine::Lycos, Engine::Excite}));
  expected.push_back(
      {{"event", "end"}, {"stopped", false}, {"found", 4}, {"status", "Ready to search!"}});
  EXPECT_EQ(parsedLines(r.out), expected);
  // The engines are asked in the window's order, whatever the options' order.
  const std::vector<std::string> targets = engines.targets();
  ASSERT_EQ(targets.size(), 2 * cliRequests);
  EXPECT_EQ(targets[0], test::lycosTarget(1));
  EXPECT_EQ(targets[2], test::exciteTarget(0));
}

TEST_F(EnginesCli, SavedTickBoxesAndHostsFileStandInForTheOptions) {
  Settings saved;
  saved.chkAltavista = true;
  saveSettings(dir.path(), saved);
  dir.write("qxhosts.ini", "[AltaVista]\r\nhost=" + engines.server.hostAndPort() + "\r\n");
  CliRun r = run("--timeout 2 --retry 1 apple");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(engines.targets(),
            (std::vector<std::string>{test::altavistaTarget(1), test::altavistaTarget(2)}));
  EXPECT_NE(r.out.find("Apple a1"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("http://pie.example/a1.html"), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("Searching AltaVista ....."), std::string::npos) << r.err;

  // --host goes over the file: a host nobody listens on gives empty pages.
  CliRun elsewhere = run("--timeout 2 --retry 0 --host altavista=127.0.0.1:1 apple");
  EXPECT_EQ(elsewhere.exitCode, 0) << elsewhere.err;
  EXPECT_EQ(engines.server.requestCount(), 2u);
  EXPECT_EQ(elsewhere.out.find("Apple a1"), std::string::npos) << elsewhere.out;
}

TEST_F(EnginesCli, BadUsageIsRefusedBeforeAnyRequest) {
  EXPECT_EQ(run("--engine google apple").exitCode, 2);
  EXPECT_EQ(run("--engine excite --host excite apple").exitCode, 2);
  EXPECT_EQ(run("--engine excite --host gopher=127.0.0.1 apple").exitCode, 2);
  EXPECT_EQ(run("--engine excite").exitCode, 2);  // no search text
  EXPECT_EQ(run("apple").exitCode, 2);            // no engine saved or given
  EXPECT_EQ(run("--engine excite --max-sites lots" + hostArgs({"excite"}) + " apple").exitCode, 1);
  EXPECT_EQ(engines.server.requestCount(), 0u);
}

}  // namespace
}  // namespace quexa
