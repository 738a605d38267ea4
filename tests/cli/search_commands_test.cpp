// quexa-cli sites, links and engines as processes against loopback sites
// and engines: their JSON Lines are the transcript the search itself writes
// in-process, their text and RTF the results panes, their exit statuses tell
// how the search ended; the saved options stand in for the flags; and
// quexa-cli engine add|list|remove with the user engines it adds.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "app/settings.h"
#include "app/transcript.h"
#include "match/dl_matcher.h"
#include "net/curl_fetcher.h"
#include "search/engine_search.h"
#include "search/fake_engine.h"
#include "search/linked_search.h"
#include "search/site_fixture.h"
#include "support/cli_transcript.h"
#include "support/http_test_server.h"

namespace quexa {
namespace {

using nlohmann::json;
using test::cliCommand;
using test::CliRun;
using test::collectRun;
using test::HttpTestServer;
using test::jsonLines;
using test::runCli;
using test::transcriptLines;
using testing::link;

// The last line of a transcript, for a search that ended normally.
json endLine(int found) {
  return {{"event", "end"}, {"stopped", false}, {"found", found}, {"status", "Ready to search!"}};
}

// One connection: the Ctrl-C test counts the requests the server sees, and
// fetching ahead would add some.
std::string sitesCommand(const testing::ScratchDir& dir, const std::string& args) {
  return cliCommand(dir, "--connections 1 sites " + args);
}

CliRun runSites(const testing::ScratchDir& dir, const std::string& args) {
  return collectRun(dir, std::system(sitesCommand(dir, args).c_str()));
}

void writeIndex(const testing::ScratchDir& dir, const std::vector<std::string>& urls) {
  std::string file = "[Mine]\r\n";
  for (const auto& u : urls) file += u + "\r\n";
  file += "[Other]\r\nhttp://127.0.0.1:1/\r\n";
  dir.write("qxindex.ini", file);
}

std::string page(const std::string& body) {
  return "<html><body>" + body + "</body></html>";
}

struct SmallSite {
  HttpTestServer server;
  SmallSite() {
    server.on("/", [this](const httplib::Request&, httplib::Response& res) {
      res.set_content(page("<p>the needle at home</p>" + link("b.html") + link("c.html") +
                           link(server.url("/d.html")) + link("logo.gif")),
                      "text/html");
    });
    server.on("/b.html", HttpTestServer::page(page("<p>Needle in b</p>" + link("/"))));
    server.on("/c.html", HttpTestServer::page(page("<p>no match</p>")));
    server.on("/d.html", HttpTestServer::page(page("<p>a {needle} \\ in d</p>")));
    server.start();
  }
};

TEST(SitesCli, JsonLinesAreTheTranscriptOfTheSearchItself) {
  SmallSite site;
  HttpTestServer other;
  other.otherwise(HttpTestServer::page(page("<p>needle elsewhere</p>")));
  other.start();
  const std::vector<std::string> urls = {site.server.url(""), other.url("/x.html")};
  testing::ScratchDir dir;
  writeIndex(dir, urls);

  CliRun run =
      runSites(dir, "--index Mine --all-links --timeout 30 --retry 3 --format json needle");
  ASSERT_EQ(run.exitCode, 0) << run.err;

  // The same search in this process, with the real matcher.
  testing::SiteSearchHarness h;
  DlMatcher matcher;
  h.matcher = &matcher;
  h.controls.searchCatCount = 2;
  ASSERT_EQ(h.run(urls, true), EndReason::Completed);
  ASSERT_EQ(h.foundCount, 4);

  std::vector<json> expected = transcriptLines(h.window.events);
  expected.push_back(endLine(4));
  EXPECT_EQ(jsonLines(run.out), expected);
  EXPECT_EQ(site.server.requestCount("/logo.gif"), 0u);
}

TEST(SitesCli, TextRtfAndExitStatusesTellWhatWasFoundAndHowTheSearchEnded) {
  SmallSite site;
  testing::ScratchDir dir;
  writeIndex(dir, {site.server.url("")});
  const std::string home = site.server.url("");

  CliRun text = runSites(dir, "--index Mine --all-links --case --timeout 30 needle");
  EXPECT_EQ(text.exitCode, 0) << text.err;
  EXPECT_NE(text.out.find("1. " + home + "/     \n"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("the needle at home"), std::string::npos);
  EXPECT_NE(text.out.find("2. " + home + "/d.html     \n"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("a {needle} \\ in d"), std::string::npos) << text.out;
  EXPECT_EQ(text.out.find("Needle in b"), std::string::npos);  // case matters
  EXPECT_NE(text.err.find("Searching " + home + "/b.html\n"), std::string::npos);
  EXPECT_NE(text.err.find("Ready to search!"), std::string::npos);

  // A host that cannot be reached is told on stderr; the search goes on.
  writeIndex(dir, {"http://127.0.0.1:1/", home});
  CliRun single = runSites(
      dir, "--index Mine --single-page --no-case --timeout 30 --retry 3 --format rtf needle");
  EXPECT_EQ(single.exitCode, 0) << single.err;
  EXPECT_NE(single.err.find("quexa-cli: http://127.0.0.1:1/: "), std::string::npos) << single.err;
  EXPECT_EQ(single.out.rfind("{\\rtf1", 0), 0u);
  EXPECT_NE(single.out.find("1. " + home + "     "), std::string::npos) << single.out;
  EXPECT_EQ(single.out.find("2. "), std::string::npos);

  writeIndex(dir, {home, home});
  CliRun refused = runSites(dir, "--index Mine ''");
  EXPECT_EQ(refused.exitCode, 2);
  EXPECT_NE(refused.err.find("You must specify the text you want to search!"), std::string::npos);
  // The second site's node is refused: a failure, not a normal end.
  CliRun failed = runSites(dir, "--index Mine --all-links --timeout 30 --format json needle");
  EXPECT_EQ(failed.exitCode, 1) << failed.err;
  const std::vector<json> lines = jsonLines(failed.out);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back()["stopped"], true);
  EXPECT_EQ(lines.back()["status"], "Search was stopped before its completion!");
}

TEST(SitesCli, ControlCharactersOfAPageNeverReachTheTerminal) {
  HttpTestServer server;
  server.on("/", HttpTestServer::page(page("needle \x1b]0;owned\x07 \x1b[2J" +
                                           link("bad\x1b[31m.html") + link("next.html"))));
  server.on("/next.html", HttpTestServer::page(page("needle next")));
  server.start();
  testing::ScratchDir dir;
  writeIndex(dir, {server.url("")});

  CliRun r = runSites(dir, "--index Mine --all-links --timeout 30 --retry 3 needle");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out.find('\x1b'), std::string::npos) << r.out;
  EXPECT_EQ(r.err.find('\x1b'), std::string::npos) << r.err;
  // The link with the escape is a bad page, told once; the search goes on.
  EXPECT_NE(r.err.find("quexa-cli: " + server.url("/bad?[31m.html") + ": "), std::string::npos)
      << r.err;
  EXPECT_NE(r.out.find("needle next"), std::string::npos) << r.out;
}

// SIGINT, SIGTERM and SIGHUP are Stop: the transfer in progress is dropped
// at once, the search ends as stopped with its transcript closed, and no
// page file is left behind.
class SitesCliSignal : public ::testing::TestWithParam<int> {};

TEST_P(SitesCliSignal, StopsTheCrawlAtOnceAndClosesTheTranscript) {
  HttpTestServer server;
  server.on("/", HttpTestServer::page(page("needle " + link("slow.html") + link("next.html"))));
  server.on("/slow.html", server.silence(std::chrono::seconds(25)));
  server.on("/next.html", HttpTestServer::page(page("needle next")));
  server.start();
  testing::ScratchDir dir;
  writeIndex(dir, {server.url("")});

  // Made before the fork: the child of a process with threads (the test
  // server's) may not allocate, another thread may hold the allocator's lock.
  const std::string command =
      sitesCommand(dir, "--index Mine --all-links --timeout 30 --format json needle");
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  for (int i = 0; i < 3000 && server.requestCount("/slow.html") == 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  const bool asked = server.requestCount("/slow.html") == 1u;
  if (asked) kill(pid, GetParam());
  // Well before the silent page's time-out: the transfer was dropped, not
  // waited for.
  int status = 0;
  pid_t ended = 0;
  for (int i = 0; i < 1000 && ended == 0; ++i) {
    ended = waitpid(pid, &status, WNOHANG);
    if (ended == 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (ended == 0) {
    kill(pid, SIGKILL);  // never leave the crawl running behind a failed test
    waitpid(pid, &status, 0);
  }
  ASSERT_TRUE(asked) << "the silent page was not asked for; " << collectRun(dir, status).err;
  ASSERT_NE(ended, 0) << "still waiting for the silent page";

  CliRun run = collectRun(dir, status);
  EXPECT_EQ(run.exitCode, 3) << run.err;
  EXPECT_EQ(server.requestCount("/next.html"), 0u);
  EXPECT_FALSE(dir.exists("page.tmp"));
  const std::vector<json> lines = jsonLines(run.out);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back()["stopped"], true);
  EXPECT_EQ(lines.back()["found"], 1);
  EXPECT_EQ(lines.back()["status"], "Search was stopped before its completion!");
}

INSTANTIATE_TEST_SUITE_P(Signals, SitesCliSignal, ::testing::Values(SIGINT, SIGTERM, SIGHUP),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::string(sigabbrev_np(info.param));
                         });

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
};

TEST_F(LinksCli, JsonTranscriptIsTheInProcessOneInBothModesAndRtfThePagePane) {
  for (bool allLinks : {true, false}) {
    SCOPED_TRACE(allLinks ? "all links" : "single page");
    const size_t before = server.requestCount();
    CliRun r = run("'" + server.url("/") + "' needle NOT thread --timeout 30 --retry 3 " +
                   (allLinks ? "--all-links" : "--single-page") + " --format json");
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(server.requestCount() - before, allLinks ? 3u : 1u);

    // The same search in this process, with the real matcher.
    testing::SiteSearchHarness h;
    DlMatcher matcher;
    h.controls.searchText = {"needle", "thread", "", ""};
    h.controls.connector = {kConnectorNot, kConnectorAnd, kConnectorAnd};
    h.controls.settings.optSearchAll = allLinks;
    h.state.selectedPageUrl = server.url("/");
    ResultTools tools{h.state, h.window, h.fetcher, h.pump, matcher};
    searchPage_Click(tools, h.controls);
    std::vector<json> expected = transcriptLines(h.window.events);
    expected.push_back(endLine(allLinks ? 1 : 0));
    EXPECT_EQ(jsonLines(r.out), expected);
  }

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

TEST_F(LinksCli, TextOutputAndLinkRulesFromTheOptionsFileOrTheFlags) {
  server.on("/Caps", HttpTestServer::page("<body>needle <a href='/Caps#x'>me</a></body>"));
  server.on("/robots.txt", HttpTestServer::page("User-agent: *\nDisallow: /two\n", "text/plain"));
  dir.write("qxoptions.ini", "[Options]\r\nlinks=standard\r\n");
  // The classic rules take the URL in lower case, as the window takes it
  // from a node key.
  const std::string upper = "HTTP://127.0.0.1:" + std::to_string(server.port()) + "/";
  struct Case {
    std::string flags;
    size_t requests;  // the standard crawl: robots.txt, /, /one (each once); classic: /, /one, /two
    const char* status;
  } cases[] = {{"", 3, "Links: 1/2"},
               {"--ignore-robots", 3, "Links: 2/3"},
               {"--classic-links", 3, "Ready to search!\nLinks: 2/3\n"}};
  std::vector<CliRun> runs;
  for (const Case& c : cases) {
    const size_t before = server.requestCount();
    const std::string url = c.flags == "--classic-links" ? upper : server.url("/");
    runs.push_back(run("'" + url + "' needle --timeout 30 --retry 3 --all-links " + c.flags));
    EXPECT_EQ(runs.back().exitCode, 0) << runs.back().err;
    EXPECT_EQ(server.requestCount() - before, c.requests) << c.flags;
    EXPECT_NE(runs.back().err.find(c.status), std::string::npos) << c.flags << runs.back().err;
  }
  // robots.txt leaves out /two, and stderr says so.
  EXPECT_NE(runs[0].err.find(server.url("/two") + ": disallowed by robots.txt"), std::string::npos)
      << runs[0].err;
  // The text output is the page pane: the matching pages with their lines.
  const CliRun& text = runs[2];
  EXPECT_NE(text.out.find(server.url("/one")), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("the Needle is here"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("needle and thread"), std::string::npos) << text.out;
  EXPECT_EQ(text.out.find("home"), std::string::npos) << text.out;
  EXPECT_NE(text.err.find("Searching " + server.url("/two")), std::string::npos) << text.err;
  // The standard rules keep the address's letter case.
  CliRun r = run("'" + server.url("/Caps") + "' needle --all-links --timeout 30");
  EXPECT_NE(r.out.find(server.url("/Caps")), std::string::npos) << r.out;
  EXPECT_EQ(run("'" + server.url("/") + "' needle --standard-links --classic-links").exitCode, 2);
}

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
};

TEST_F(EnginesCli, JsonTranscriptIsTheInProcessOne) {
  const std::string at = "=" + server.hostAndPort();
  CliRun r = run("--engine excite --engine LYCOS --host lycos" + at + " --host excite" + at +
                 " --timeout 30 --retry 3 --format json apple");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(server.requestCount(), 4u);  // two pages each, the second without hits

  // The same search in this process, over one connection.
  testing::SiteSearchHarness h;
  h.controls.searchText[0] = "apple";
  h.controls.frameMineEnabled = false;
  for (Engine e : {Engine::Lycos, Engine::Excite}) h.controls.settings.*engineRow(e).tickBox = true;
  const EngineHosts hosts = engines.hosts();
  EngineSearchContext context{h.state, h.window, h.fetcher, h.pump, h.controls, hosts};
  EXPECT_EQ(searchWebEngines(context), EndReason::Completed);
  std::vector<json> expected = transcriptLines(h.window.events);
  expected.push_back(endLine(4));
  // The engines are read in the window's order, whatever the options' order
  // (on the wire, Excite's first page may come ahead).
  EXPECT_EQ(jsonLines(r.out), expected);
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
