#include "match/visited_index.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>

namespace quexa {
namespace {

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
