// quexa-cli match, run as the user runs it.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

#include "support/scratch_dir.h"

namespace quexa::testing {
namespace {

struct CliRun {
  int status = -1;
  std::string out;
};

CliRun runCli(const std::string& args) {
  CliRun r;
  std::string command = std::string(QUEXA_BIN_DIR) + "/quexa-cli " + args + " 2>&1";
  FILE* p = popen(command.c_str(), "r");
  if (!p) return r;
  std::array<char, 4096> chunk;
  size_t n;
  while ((n = fread(chunk.data(), 1, chunk.size(), p)) > 0) r.out.append(chunk.data(), n);
  int status = pclose(p);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

class CliMatchTest : public ::testing::Test {
 protected:
  std::string match(const std::string& args) {
    return "--data-dir " + dir_.path() + " match " + dir_.file("page.html") + " " + args;
  }
  ScratchDir dir_;
};

TEST_F(CliMatchTest, MatchesAfterTheBodyAndPrintsPlainLines) {
  dir_.write("page.html",
             "<html><head><title>coffee house</title></head><BODY><p>Hot COFFEE &amp; "
             "caf&eacute;</p><p>Tea</p></body></html>");
  CliRun yes = runCli(match("coffee OR tea"));
  EXPECT_EQ(yes.status, 0);
  EXPECT_EQ(yes.out, "match: yes (result 2)\nHot COFFEE & caf\xC3\xA9\nTea\n");
  EXPECT_FALSE(dir_.exists("page.tmp"));
  CliRun no = runCli(match("coffee --case"));
  EXPECT_EQ(no.status, 0);
  EXPECT_EQ(no.out, "match: no (result 0)\n");
  EXPECT_EQ(runCli(match("coffee NOT tea")).out, "match: no (result 0)\n");
}

TEST_F(CliMatchTest, BadUsageAndMissingPage) {
  dir_.write("page.html", "<p>x</p>");
  EXPECT_EQ(runCli(match("a AND")).status, 2);
  EXPECT_EQ(runCli(match("a XOR b")).status, 2);
  EXPECT_EQ(runCli(match("a AND b AND c AND d AND e")).status, 2);
  CliRun missing =
      runCli("--data-dir " + dir_.path() + " match " + dir_.file("absent.html") + " a");
  EXPECT_EQ(missing.status, 1);
}

}  // namespace
}  // namespace quexa::testing
