// quexa-cli links against a loopback site: its JSON Lines transcript is the
// one the linked-page search writes in-process, its text output the page
// pane's entries, and its exit statuses.
#include <gtest/gtest.h>

#include "app/transcript.h"
#include "match/dl_matcher.h"
#include "net/curl_fetcher.h"
#include "search/linked_search.h"
#include "support/cli_transcript.h"
#include "support/http_test_server.h"

namespace quexa {
namespace {

using nlohmann::json;
using test::CliRun;
using test::HttpTestServer;
using test::jsonLines;
using test::runCli;
using test::transcriptLines;

struct LinksCli : ::testing::Test {
  testing::ScratchDir dir;
  HttpTestServer server;

  void SetUp() override {
    server.on("/", HttpTestServer::page("<body><p>home</p><a href=\"/one\">one</a> <a "
                                        "href=\"/two\">two</a></body>"));
    server.on("/one", HttpTestServer::page("<body><p>the Needle is here</p></body>"));
    server.on("/two", HttpTestServer::page("<body><p>needle and thread</p></body>"));
    server.start();
  }

  CliRun run(const std::string& args) { return runCli(dir, "links " + args); }

  // The same search in-process, fetches recorded as the command line does.
  TranscriptWindow inProcess(bool allLinks) {
    TranscriptWindow window;
    AppState state;
    state.dataDir = dir.path();
    state.selectedPageUrl = server.url("/");
    NullPump pump;
    CurlFetcher fetcher(pump);
    DlMatcher matcher;
    MainControls controls;
    controls.searchText = {"needle", "thread", "", ""};
    controls.connector = {kConnectorNot, kConnectorAnd, kConnectorAnd};
    controls.settings.optSearchAll = allLinks;
    controls.settings.timeoutText = "2";
    controls.settings.retryText = "1";
    ResultTools tools{state,   window,
                      fetcher, pump,
                      matcher, [&window](const std::string& url) { window.recordFetch(url); }};
    searchPage_Click(tools, controls);
    return window;
  }
};

TEST_F(LinksCli, JsonTranscriptIsTheInProcessOneInBothModes) {
  for (bool allLinks : {true, false}) {
    SCOPED_TRACE(allLinks ? "all links" : "single page");
    const size_t before = server.requestCount();
    CliRun r = run("'" + server.url("/") + "' needle NOT thread --timeout 30 --retry 3 " +
                   (allLinks ? "--all-links" : "--single-page") + " --format json");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const size_t cliRequests = server.requestCount() - before;
    TranscriptWindow window = inProcess(allLinks);
    EXPECT_EQ(cliRequests, allLinks ? 3u : 1u);

    std::vector<json> expected = transcriptLines(window.events);
    expected.push_back({{"event", "end"},
                        {"stopped", false},
                        {"found", allLinks ? 1 : 0},
                        {"status", "Ready to search!"}});
    EXPECT_EQ(jsonLines(r.out), expected);
  }
}

TEST_F(LinksCli, TextOutputIsThePagePaneWithTheLinksStatusOnStderr) {
  // The URL is taken in lower case, as the window takes it from a node key.
  const std::string upper = "HTTP://127.0.0.1:" + std::to_string(server.port()) + "/";
  CliRun r = run("'" + upper + "' needle --timeout 30 --retry 3 --all-links");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find(server.url("/one")), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("the Needle is here"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("needle and thread"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("home"), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("Searching " + server.url("/two")), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Ready to search!\nLinks: 2/3\n"), std::string::npos) << r.err;

  CliRun single = run("'" + server.url("/") + "' needle --single-page --format rtf");
  EXPECT_EQ(single.exitCode, 0) << single.err;
  EXPECT_EQ(single.out.rfind("{\\rtf1", 0), 0u) << single.out;
  EXPECT_NE(single.out.find("No Match!"), std::string::npos) << single.out;
}

TEST_F(LinksCli, AllLinksTakesNoMorePagesThanMaximumSites) {
  HttpTestServer trap;  // every page links to three pages never seen before
  trap.otherwise([](const httplib::Request& req, httplib::Response& res) {
    const std::string k = req.path.substr(1);
    res.set_content(
        "<body><a href=\"/" + k + "1\"> <a href=\"/" + k + "2\"> <a href=\"/" + k + "3\"></body>",
        "text/html");
  });
  trap.start();
  // The standard rules ask for robots.txt first (the trap's answer allows all).
  for (const auto& [rules, requests] :
       std::vector<std::pair<std::string, size_t>>{{"", 100}, {" --standard-links", 101}}) {
    const size_t before = trap.requestCount();
    CliRun r = runCli(dir, "--connections 1 links '" + trap.url("/x") + "' needle --all-links " +
                               "--max-sites 100" + rules);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(trap.requestCount() - before, requests) << rules;
    EXPECT_NE(r.err.find("Ready to search!\nLinks: 0/100\n"), std::string::npos) << r.err;
  }
}

TEST_F(LinksCli, LinkRulesComeFromTheOptionsFileOrTheFlags) {
  server.on("/Caps", HttpTestServer::page("<body>needle <a href='/Caps#x'>me</a></body>"));
  server.on("/robots.txt", HttpTestServer::page("User-agent: *\nDisallow: /two\n", "text/plain"));
  dir.write("qxoptions.ini", "[Options]\r\nlinks=standard\r\n");
  const std::string home = "'" + server.url("/") + "' needle --timeout 30 --retry 3 --all-links ";
  struct Case {
    std::string flags;
    size_t requests;  // the standard crawl: robots.txt, /, /one (each once); classic: /, /one, /two
    const char* status;
  } cases[] = {{"", 3, "Links: 1/2"},
               {"--ignore-robots", 3, "Links: 2/3"},
               {"--classic-links", 3, "Links: 2/3"}};
  for (const Case& c : cases) {
    const size_t before = server.requestCount();
    CliRun r = run(home + c.flags);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(server.requestCount() - before, c.requests) << c.flags;
    EXPECT_NE(r.err.find(c.status), std::string::npos) << c.flags << r.err;
  }
  // The standard rules keep the address's letter case; robots.txt leaves
  // out /two, and stderr says so.
  CliRun r = run("'" + server.url("/Caps") + "' needle --all-links --timeout 30");
  EXPECT_NE(r.out.find(server.url("/Caps")), std::string::npos) << r.out;
  CliRun left = run(home);
  EXPECT_NE(left.err.find(server.url("/two") + ": disallowed by robots.txt"), std::string::npos)
      << left.err;
  EXPECT_EQ(run("'" + server.url("/") + "' needle --standard-links --classic-links").exitCode, 2);
}

}  // namespace
}  // namespace quexa
