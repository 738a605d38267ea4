// quexa-cli match, run as the user runs it.
#include <gtest/gtest.h>

#include "support/cli_transcript.h"

namespace quexa::testing {
namespace {

using test::CliRun;

class CliMatchTest : public ::testing::Test {
 protected:
  CliRun match(const std::string& args) {
    return test::runCli(dir_, "match " + dir_.file("page.html") + " " + args);
  }
  ScratchDir dir_;
};

TEST_F(CliMatchTest, MatchesAfterTheBodyAndPrintsPlainLines) {
  dir_.write("page.html",
             "<html><head><title>coffee house</title></head><BODY><p>Hot COFFEE &amp; "
             "caf&eacute;</p><p>Tea</p></body></html>");
  CliRun yes = match("coffee OR tea");
  EXPECT_EQ(yes.exitCode, 0);
  EXPECT_EQ(yes.out, "match: yes (result 2)\nHot COFFEE & caf\xC3\xA9\nTea\n");
  EXPECT_FALSE(dir_.exists("page.tmp"));
  CliRun no = match("coffee --case");
  EXPECT_EQ(no.exitCode, 0);
  EXPECT_EQ(no.out, "match: no (result 0)\n");
}

TEST_F(CliMatchTest, BadUsageAndMissingPage) {
  dir_.write("page.html", "<p>x</p>");
  EXPECT_EQ(match("a AND").exitCode, 2);
  EXPECT_EQ(match("a XOR b").exitCode, 2);
  EXPECT_EQ(match("a AND b AND c AND d AND e").exitCode, 2);
  EXPECT_EQ(test::runCli(dir_, "match " + dir_.file("absent.html") + " a").exitCode, 1);
}

}  // namespace
}  // namespace quexa::testing
