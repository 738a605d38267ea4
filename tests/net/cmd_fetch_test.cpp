// quexa-cli fetch against a loopback server: the page from its body tag on,
// the server-error flag, and the exit statuses of a failed or bad fetch.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "support/cli_transcript.h"
#include "support/http_test_server.h"
#include "support/scratch_dir.h"

namespace quexa {
namespace {

using test::HttpTestServer;

test::CliRun runFetch(const testing::ScratchDir& dir, const std::string& args) {
  return test::runCli(dir, "fetch " + args);
}

TEST(CmdFetch, PrintsThePageFromItsBodyAndTheServerErrorFlag) {
  testing::ScratchDir dir;
  HttpTestServer server;
  server.on("/page", HttpTestServer::page("<html><head></head><BODY>Hello there</BODY></html>"));
  server.on("/missing", HttpTestServer::errorPage(404, "<html><body>404 Not Found</body></html>"));
  server.on("/empty", HttpTestServer::emptyBody());
  server.start();

  test::CliRun page = runFetch(dir, "'" + server.url("/page") + "' --timeout 30 --retry 3");
  EXPECT_EQ(page.exitCode, 0);
  EXPECT_EQ(page.out, "BODY>Hello there</BODY></html>");
  EXPECT_NE(page.err.find("server error: no"), std::string::npos);
  EXPECT_NE(page.err.find("Searching " + server.url("/page")), std::string::npos);

  test::CliRun missing = runFetch(dir, "'" + server.url("/missing") + "' --timeout 30");
  EXPECT_EQ(missing.exitCode, 0);
  EXPECT_NE(missing.err.find("server error: yes"), std::string::npos);

  test::CliRun empty = runFetch(dir, "'" + server.url("/empty") + "' --timeout 30 --retry 3");
  EXPECT_EQ(empty.exitCode, 0);
  EXPECT_EQ(empty.out, "");
  EXPECT_EQ(server.requestCount("/empty"), 4u);
}

TEST(CmdFetch, ABrokenPageIsAnEmptyOneToldOnStderrAndBadNumbersAreRefused) {
  testing::ScratchDir dir;
  HttpTestServer server;
  server.on("/a", HttpTestServer::redirect("/a"));
  server.start();
  test::CliRun loop = runFetch(dir, "'" + server.url("/a") + "' --timeout 30 --retry 3");
  EXPECT_EQ(loop.exitCode, 0) << loop.err;
  EXPECT_EQ(loop.out, "");
  EXPECT_NE(loop.err.find("quexa-cli: " + server.url("/a") + ": "), std::string::npos) << loop.err;
  EXPECT_EQ(runFetch(dir, "'" + server.url("/a") + "' --timeout soon").exitCode, 2);
}

}  // namespace
}  // namespace quexa
