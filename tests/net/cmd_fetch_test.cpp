// quexa-cli fetch against a loopback server: the page from its body tag on,
// the server-error flag, a broken page told on stderr, and the exit status of
// a bad number.
#include <gtest/gtest.h>

#include "support/cli_transcript.h"
#include "support/http_test_server.h"
#include "support/scratch_dir.h"

namespace quexa {
namespace {

using test::HttpTestServer;

TEST(CmdFetch, PrintsThePageFromItsBodyTheServerErrorFlagAndBrokenPagesOnStderr) {
  testing::ScratchDir dir;
  HttpTestServer server;
  server.on("/page", HttpTestServer::page("<html><head></head><BODY>Hello there</BODY></html>"));
  server.on("/missing", HttpTestServer::errorPage(404, "<html><body>404 Not Found</body></html>"));
  server.on("/loop", HttpTestServer::redirect("/loop"));
  server.on("/empty", HttpTestServer::emptyBody());
  server.start();
  auto fetch = [&](const std::string& path, const std::string& args = "--timeout 30 --retry 3") {
    return test::runCli(dir, "fetch '" + server.url(path) + "' " + args);
  };

  test::CliRun page = fetch("/page");
  EXPECT_EQ(page.exitCode, 0);
  EXPECT_EQ(page.out, "BODY>Hello there</BODY></html>");
  EXPECT_NE(page.err.find("server error: no"), std::string::npos);
  EXPECT_NE(page.err.find("Searching " + server.url("/page")), std::string::npos);

  test::CliRun missing = fetch("/missing");
  EXPECT_EQ(missing.exitCode, 0);
  EXPECT_NE(missing.err.find("server error: yes"), std::string::npos);
  EXPECT_EQ(fetch("/empty").out, "");
  EXPECT_EQ(server.requestCount("/empty"), 4u);  // --retry reaches the rules

  test::CliRun loop = fetch("/loop");
  EXPECT_EQ(loop.exitCode, 0) << loop.err;
  EXPECT_EQ(loop.out, "");
  EXPECT_NE(loop.err.find("quexa-cli: " + server.url("/loop") + ": "), std::string::npos)
      << loop.err;
  EXPECT_EQ(fetch("/page", "--timeout soon").exitCode, 2);
}

}  // namespace
}  // namespace quexa
