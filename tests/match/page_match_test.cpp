// A page matched through the page file: what the library is given, the hit
// decision, the extract, file failures; the search expression from the boxes;
// and quexa-cli match, run as the user runs it.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <optional>

#include "app/errors.h"
#include "app/state.h"
#include "match/expression.h"
#include "match/page_match.h"
#include "support/child_process.h"
#include "support/cli_transcript.h"
#include "support/scratch_dir.h"

namespace quexa::testing {
namespace {

// Records what the page file held when the library was called.
class RecordingMatcher : public Matcher {
 public:
  int32_t answer = 0;
  std::string bufferText;  // written into the buffer on each call
  bool fail = false;
  std::string seenPath, seenFile;
  int32_t seenLength = -1, seenCaseMode = 0;
  std::array<std::string, 4> seenTexts;
  std::array<int32_t, 3> seenConnectors{};

  int32_t stringSearch(const std::string& path, int32_t length, int32_t caseMode,
                       const std::array<std::string, 4>& texts,
                       const std::array<int32_t, 3>& connectors,
                       std::string& matchBuffer) override {
    seenPath = path;
    seenLength = length;
    seenCaseMode = caseMode;
    seenTexts = texts;
    seenConnectors = connectors;
    std::ifstream in(path, std::ios::binary);
    seenFile.assign(std::istreambuf_iterator<char>(in), {});
    if (fail) throw QuexaError(ErrorKind::LibraryNotLoadable, "no library");
    matchBuffer.replace(0, bufferText.size(), bufferText);
    return answer;
  }
};

// Every case runs with page.tmp made as a new file and, as in a search, as a
// new name of the kept file.
class PageMatchTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (GetParam()) scope_.emplace(dir_.path());
  }
  void TearDown() override {
    scope_.reset();
    // Nothing is left in the data directory but what a case made there.
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path()))
      EXPECT_EQ(entry.path().filename().string().rfind("page.tmp", 0), std::string::npos)
          << entry.path();
  }
  PageMatch match(std::string_view page, bool serverError) {
    return matchPage(dir_.path(), page, serverError, expression_, matcher_, buffer_);
  }
  ScratchDir dir_;
  RecordingMatcher matcher_;
  SearchExpression expression_{{"a", "", "b", ""}, 201, {211, 210, 212}};
  std::string buffer_ = std::string(kMatchBufferSize, ' ');
  std::optional<PageFileScope> scope_;
};

INSTANTIATE_TEST_SUITE_P(NewOrKeptFile, PageMatchTest, ::testing::Bool());

TEST_P(PageMatchTest, PassesThePageFileAndTheExpressionThenDeletesTheFile) {
  std::string page = std::string("caf\xC3\xA9 ") + '\0' + " end";
  matcher_.answer = 1;
  matcher_.bufferText = std::string("line\\par ") + '\0' + "old";
  PageMatch m = match(page, false);
  EXPECT_EQ(matcher_.seenPath, dir_.file("page.tmp"));
  EXPECT_EQ(matcher_.seenFile, page);  // the bytes as they are, no prefix or terminator
  EXPECT_EQ(matcher_.seenLength, static_cast<int32_t>(page.size()));
  EXPECT_EQ(matcher_.seenCaseMode, 201);
  EXPECT_EQ(matcher_.seenTexts, expression_.texts);
  EXPECT_EQ(matcher_.seenConnectors, expression_.connectors);
  EXPECT_FALSE(dir_.exists("page.tmp"));
  EXPECT_TRUE(m.hit);
  EXPECT_EQ(m.extract, "line\\par ");
}

TEST_P(PageMatchTest, EachPageIsWholeAndAloneInThePageFile) {
  for (std::string_view page : {"a longer first page", "", "short"}) {
    match(page, false);
    EXPECT_EQ(matcher_.seenFile, page);
    EXPECT_EQ(matcher_.seenLength, static_cast<int32_t>(page.size()));
    EXPECT_FALSE(dir_.exists("page.tmp"));
  }
}

TEST_P(PageMatchTest, HitDecision) {
  matcher_.answer = 0;
  EXPECT_FALSE(match("x", false).hit);
  matcher_.answer = -1;
  EXPECT_FALSE(match("x", false).hit);
  // A server's error page is a hit whatever the library says, without its text.
  matcher_.answer = 0;
  matcher_.bufferText = std::string("stale") + '\0';
  PageMatch server = match("x", true);
  EXPECT_TRUE(server.hit);
  EXPECT_EQ(server.extract, "");
  matcher_.answer = 3;
  EXPECT_TRUE(match("x", true).hit);
  EXPECT_EQ(match("x", true).extract, "");
}

TEST_P(PageMatchTest, ANulAtTheFirstPositionOrNoNulGivesAnEmptyExtract) {
  matcher_.answer = 1;
  matcher_.bufferText = std::string(1, '\0') + "rest";
  EXPECT_EQ(match("x", false).extract, "");
  buffer_ = std::string(kMatchBufferSize, ' ');
  matcher_.bufferText = "no terminator";
  EXPECT_EQ(match("x", false).extract, "");
  EXPECT_EQ(matchedTextBeforeNul("abc"), "");
  EXPECT_EQ(wholeBufferIfNoNul("abc"), "abc");
  EXPECT_EQ(wholeBufferIfNoNul(std::string("ab\0c", 4)), "ab");
}

TEST_P(PageMatchTest, FileFailuresCarryTheirKinds) {
  auto kindOf = [&](const std::string& dataDir) {
    try {
      matchPage(dataDir, "x", false, expression_, matcher_, buffer_);
    } catch (const QuexaError& e) {
      return e.kind();
    }
    return ErrorKind::Other;
  };
  EXPECT_EQ(kindOf(dir_.file("no-such-dir/")), ErrorKind::PathNotFound);
  // A page file that cannot be made in the directory.
  ASSERT_EQ(::mkdir(dir_.file("page.tmp").c_str(), 0755), 0);
  EXPECT_EQ(kindOf(dir_.path()), ErrorKind::DiskNotReady);
  ::rmdir(dir_.file("page.tmp").c_str());
}

TEST_P(PageMatchTest, AFailingLibraryOrAFullDiskLeavesNoPageFile) {
  matcher_.fail = true;
  EXPECT_THROW(match("x", false), QuexaError);
  EXPECT_FALSE(dir_.exists("page.tmp"));
  matcher_.fail = false;
  const std::string big(256 * 1024, 'x');
  EXPECT_EQ(runWithFileSizeLimit(64 * 1024,
                                 [&] {
                                   try {
                                     match(big, false);
                                   } catch (const QuexaError& e) {
                                     if (e.kind() != ErrorKind::DeviceIO) return 2;
                                     // The next page is whole and alone.
                                     match("short", false);
                                     return matcher_.seenFile == "short" ? 0 : 3;
                                   }
                                   return 1;
                                 }),
            0);
  EXPECT_FALSE(dir_.exists("page.tmp"));
}

// A fetched page's bytes must never land in a file someone linked page.tmp to.
TEST_P(PageMatchTest, ALinkAtThePageFileIsReplacedNotWrittenThrough) {
  ScratchDir elsewhere;
  elsewhere.write("victim", "precious");
  ASSERT_EQ(::symlink(elsewhere.file("victim").c_str(), dir_.file("page.tmp").c_str()), 0);
  match("remote bytes", false);
  EXPECT_EQ(matcher_.seenFile, "remote bytes");
  EXPECT_EQ(elsewhere.read("victim"), "precious");
  EXPECT_FALSE(dir_.exists("page.tmp"));
}

TEST(BuildExpression, TextsTrimmedAndLoweredUnlessCaseIsTickedAndTheSelectedConnectors) {
  MainControls c;
  c.searchText = {"  Apple PIE ", "\xC3\x84pfel", "   ", " Y"};
  SearchExpression e = buildExpression(c);
  EXPECT_EQ(e.texts, (std::array<std::string, 4>{"apple pie", "\xC3\xA4pfel", "", "y"}));
  EXPECT_EQ(e.caseMode, 201);

  c.settings.optCase = true;
  e = buildExpression(c);
  EXPECT_EQ(e.texts, (std::array<std::string, 4>{"Apple PIE", "\xC3\x84pfel", "", "Y"}));
  EXPECT_EQ(e.caseMode, 200);
  // The connectors are the selected codes.
  EXPECT_EQ(e.connectors, (std::array<int32_t, 3>{210, 210, 210}));
  MainControls picked;
  picked.connector = {kConnectorNot, kConnectorOr, kConnectorAnd};
  EXPECT_EQ(buildExpression(picked).connectors, (std::array<int32_t, 3>{212, 211, 210}));
}

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
