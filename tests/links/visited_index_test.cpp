#include "match/visited_index.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>

namespace quexa {
namespace {

TEST(VisitedIndex, TextIsEveryLinkFollowedByOneBlank) {
  VisitedIndex visited;
  EXPECT_FALSE(visited.contains("http://a"));
  visited.add("http://a/x");
  visited.add("http://a/x");
  visited.add("www.b");
  EXPECT_EQ(visited.text(), "http://a/x http://a/x www.b ");
}

TEST(VisitedIndex, AnyOccurrenceCounts) {
  VisitedIndex visited;
  visited.add("http://site.com/dir/page.html");
  visited.add("http://site.com/go?u=http://other.com/x");
  EXPECT_TRUE(visited.contains("http://site.com/dir/page.html"));
  EXPECT_TRUE(visited.contains("http://site.com/dir"));           // a prefix
  EXPECT_TRUE(visited.contains("http://other.com/x"));            // inside a link
  EXPECT_TRUE(visited.contains("dir/page"));                      // no scheme at its start
  EXPECT_TRUE(visited.contains("page.html http://site.com/go"));  // across the blank
  EXPECT_TRUE(visited.contains("http://site.com/dir/page.html "));
  EXPECT_FALSE(visited.contains("http://site.com/dir/page.html2"));
  EXPECT_TRUE(visited.contains("http://other.com/x "));
  EXPECT_FALSE(visited.contains("http://other.com/x  "));  // the list ends in one blank
  EXPECT_FALSE(visited.contains("http://site.com/dir/page.htmlhttp://site.com"));
  EXPECT_TRUE(visited.contains(""));
}

TEST(VisitedIndex, LinksHoldingBlanksAreSplitIntoRuns) {
  VisitedIndex visited;
  visited.add("http://a/x>one two http://a/y");
  EXPECT_TRUE(visited.contains("http://a/y"));
  EXPECT_TRUE(visited.contains("http://a/x>one"));
  EXPECT_FALSE(visited.contains("http://a/x>one two http://a/y http://a"));
  visited.add("http://a/z");
  EXPECT_TRUE(visited.contains("http://a/y http://a/z"));
  EXPECT_TRUE(visited.contains("http://a/x>one two http://a/y http://a"));
}

TEST(VisitedIndex, MovedIndexStillAnswers) {
  VisitedIndex visited;
  visited.add("http://a/short");
  visited.add("http://a/" + std::string(100, 'l'));
  VisitedIndex moved = std::move(visited);
  EXPECT_TRUE(moved.contains("http://a/sh"));
  EXPECT_TRUE(moved.contains("http://a/lll"));
  EXPECT_FALSE(moved.contains("http://a/x"));
}

// The index must answer exactly like a search in the plain text. Small
// alphabet, so that prefixes, runs of several schemes, blanks inside links
// and near misses all come up often.
TEST(VisitedIndexRandomised, AnswersLikeThePlainText) {
  static constexpr std::array<std::string_view, 10> kPieces = {
      "http://", "http:/", "http", " ", "/", "a", "b", "h", "t", ":"};
  std::mt19937 random(20240611);
  auto piece = [&] { return kPieces[random() % kPieces.size()]; };
  auto randomText = [&](size_t maxPieces) {
    std::string s;
    for (size_t n = random() % (maxPieces + 1); n > 0; --n) s += piece();
    return s;
  };

  int positives = 0, checks = 0;
  for (int sequence = 0; sequence < 2000; ++sequence) {
    VisitedIndex visited;
    for (int step = 0; step < 30; ++step) {
      std::string candidate;
      switch (random() % 4) {
        case 0:
          candidate = "http://" + randomText(5);
          break;
        case 1:
          candidate = randomText(6);
          break;
        default: {  // a piece of the list, maybe altered, so that hits are common
          const std::string& text = visited.text();
          if (text.empty()) break;
          size_t from = random() % text.size();
          candidate = text.substr(from, random() % 24);
          if (random() % 2) candidate = "http://" + candidate;
          if (random() % 3 == 0) candidate += piece();
        }
      }
      const bool expected = visited.text().find(candidate) != std::string::npos;
      ASSERT_EQ(visited.contains(candidate), expected)
          << "candidate [" << candidate << "] in [" << visited.text() << "]";
      positives += expected;
      ++checks;
      if (random() % 2) visited.add(random() % 3 ? candidate : "http://" + randomText(6));
    }
  }
  // Both answers came up often enough to mean something.
  EXPECT_GT(positives, checks / 10);
  EXPECT_LT(positives, checks * 9 / 10);
}

}  // namespace
}  // namespace quexa
