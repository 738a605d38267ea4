// quexa-cli sites as a process against loopback sites: its JSON Lines are
// the transcript the search itself writes, its text and RTF are the
// all-results pane, and its exit status tells how the search ended.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "match/dl_matcher.h"
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
using test::transcriptLines;

using testing::link;

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

  std::vector<json> lines = jsonLines(run.out);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(
      lines.back(),
      (json{{"event", "end"}, {"stopped", false}, {"found", 4}, {"status", "Ready to search!"}}));
  lines.pop_back();
  EXPECT_EQ(lines, transcriptLines(h.window.events));
  EXPECT_EQ(site.server.requestCount("/logo.gif"), 0u);
}

TEST(SitesCli, TextAndRtfShowTheAllResultsPane) {
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

  CliRun single = runSites(dir, "--index Mine --single-page --no-case --format rtf needle");
  EXPECT_EQ(single.exitCode, 0) << single.err;
  EXPECT_EQ(single.out.rfind("{\\rtf1", 0), 0u);
  EXPECT_NE(single.out.find("1. " + home + "     "), std::string::npos) << single.out;
  EXPECT_EQ(single.out.find("2. "), std::string::npos);
}

TEST(SitesCli, ExitStatusesTellHowTheSearchEnded) {
  SmallSite site;
  testing::ScratchDir dir;
  const std::string home = site.server.url("");
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

  // A host that cannot be reached is told on stderr; the search goes on.
  writeIndex(dir, {"http://127.0.0.1:1/", home});
  CliRun dead = runSites(dir, "--index Mine --single-page --timeout 30 --retry 3 needle");
  EXPECT_EQ(dead.exitCode, 0) << dead.err;
  EXPECT_NE(dead.err.find("quexa-cli: http://127.0.0.1:1/: "), std::string::npos) << dead.err;
  EXPECT_NE(dead.out.find("1. " + home + "     "), std::string::npos) << dead.out;
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

}  // namespace
}  // namespace quexa
