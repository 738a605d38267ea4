// quexa-cli engine add|list|remove and the user engines in quexa-cli
// engines: a template or a description document added, refusals with exit
// 2 and one line on stderr, --engine by name and --check-hits.
#include <gtest/gtest.h>

#include "support/cli_transcript.h"
#include "support/http_test_server.h"

namespace quexa {
namespace {

using test::HttpTestServer;
using test::runCli;

struct EngineCli : ::testing::Test {
  testing::ScratchDir dir;
  HttpTestServer server;

  void SetUp() override {
    server.on("/rss", [this](const httplib::Request&, httplib::Response& res) {
      res.set_content("<rss><channel><item><title>Ripe</title><link>" + server.url("/ripe") +
                          "</link></item><item><title>Raw</title><link>" + server.url("/raw") +
                          "</link></item></channel></rss>",
                      "application/rss+xml");
    });
    server.on("/ripe", HttpTestServer::page("<html><body>an apple pie</body></html>"));
    server.on("/raw", HttpTestServer::page("<html><body>a pear</body></html>"));
    server.start();
  }
};

TEST_F(EngineCli, AddListRemoveAndRefusals) {
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
  const test::CliRun list = runCli(dir, "engine list");
  EXPECT_EQ(list.exitCode, 0);
  EXPECT_EQ(list.out, "Feed\trss\tticked\t" + server.url("/rss?q={searchTerms}") +
                          "\nSearx\tsearxng-json\tticked\thttp://localhost:8888/search?q="
                          "{searchTerms}&format=json&pageno={startPage}\n");

  const std::string before = dir.read("qxengines.ini");
  struct Row {
    const char* args;
    const char* message;
  };
  const Row refused[] = {
      {"engine add feed 'http://x/?q={searchTerms}' --format rss", "exists already"},
      {"engine add 'a[b]' 'http://x/?q={searchTerms}' --format rss", "brackets"},
      {"engine add X 'http://x/?q={searchTerms}' --format html", "unknown format"},
      {"engine add X 'http://x/?q={searchTerms}'", "needs --format"},
      {"engine add X /osd.xml", "cannot fetch"},
      {"engine remove Nobody", "no engine named"},
      {"engines --engine Nobody apple", "unknown engine"},
  };
  for (const Row& r : refused) {
    const test::CliRun run = runCli(dir, r.args);
    EXPECT_NE(run.exitCode, 0) << r.args;
    EXPECT_NE(run.err.find(r.message), std::string::npos) << r.args << ": " << run.err;
  }
  EXPECT_EQ(runCli(dir, "engine add Y " + server.url("/rss")).exitCode, 2);
  EXPECT_EQ(dir.read("qxengines.ini"), before);

  EXPECT_EQ(runCli(dir, "engine remove Searx").exitCode, 0);
  EXPECT_EQ(runCli(dir, "engine list").out,
            "Feed\trss\tticked\t" + server.url("/rss?q={searchTerms}") + "\n");
}

TEST_F(EngineCli, EnginesAsksAUserEngineByNameAndChecksItsHits) {
  ASSERT_EQ(runCli(dir, "engine add Feed '" + server.url("/rss?q={searchTerms}") + "' --format rss")
                .exitCode,
            0);
  const test::CliRun listed = runCli(dir, "engines --engine feed --timeout 30 --retry 3 apple");
  EXPECT_EQ(listed.exitCode, 0) << listed.err;
  EXPECT_NE(listed.out.find(server.url("/ripe")), std::string::npos);
  EXPECT_NE(listed.out.find(server.url("/raw")), std::string::npos);

  const test::CliRun checked =
      runCli(dir, "engines --engine Feed --check-hits --timeout 30 --retry 3 apple");
  EXPECT_EQ(checked.exitCode, 0) << checked.err;
  EXPECT_NE(checked.out.find(server.url("/ripe")), std::string::npos) << checked.out;
  EXPECT_EQ(checked.out.find(server.url("/raw")), std::string::npos) << checked.out;
  EXPECT_NE(checked.out.find("apple"), std::string::npos);
}

}  // namespace
}  // namespace quexa
