#include "search/engines/hit_store.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace quexa {
namespace {

TEST(HitStore, FindsUrlsAnywhereIncludingBlocksAndRecordBoundaries) {
  EngineHitStore store;
  store.appendUrl("http://www.a.com/page.html");
  store.appendBlock("Title</a> see http://www.b.org/ too");
  store.appendUrl("http://www.c.net/");
  store.appendBlock("C");
  EXPECT_TRUE(store.containsText("http://www.a.com/"));  // leading part of a URL
  EXPECT_TRUE(store.containsText("http://www.b.org/"));  // inside a block
  EXPECT_TRUE(store.containsText("http://www.b.org/ too</BO>http://www.c"));
  EXPECT_TRUE(store.containsText("page.html Title"));  // no "http": read plainly
  EXPECT_FALSE(store.containsText("http://www.a.com/page.html2"));
  EXPECT_FALSE(store.containsText("http://www.d.com/"));
  store.clear();
  EXPECT_FALSE(store.containsText("http://www.a.com/"));
  EXPECT_EQ(store.text(), "");
}

TEST(HitStore, HitTextIsFirstOccurrenceUpToNextEndMarker) {
  EngineHitStore store;
  store.appendUrl("http://www.a.com/x");
  store.appendBlock("  First</a> one");
  store.appendUrl("http://www.a.com/");
  store.appendBlock("Second");
  EXPECT_EQ(store.hitText("http://www.a.com/x"), "First</a> one");
  // The shorter URL first occurs inside the first record.
  EXPECT_EQ(store.hitText("http://www.a.com/"), "x   First</a> one");
  EXPECT_EQ(store.hitText("http://www.none.com/"), "");
  store.appendUrl("http://www.open.com/");
  EXPECT_EQ(store.hitText("http://www.open.com/"), "");
}

// Random pieces that make "http" occurrences, shared long prefixes and
// matches across record boundaries frequent.
std::string randomText(std::mt19937& rng, size_t pieces) {
  static const char* const kPieces[] = {"http", "http://", "h",     "t",         "p",
                                        "a",    "b",       "/",     " ",         "</BO>",
                                        "://a", "ttp",     "httph", "aaaaaaaaaa"};
  std::uniform_int_distribution<size_t> pick(0, std::size(kPieces) - 1);
  std::string s;
  for (size_t i = 0; i < pieces; ++i) s += kPieces[pick(rng)];
  return s;
}

TEST(HitStore, DuplicateTestAgreesWithPlainSubstringSearch) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 25; ++round) {
    EngineHitStore store;
    std::string plain;
    const std::string longPrefix = "http://" + std::string(120, 'a');
    for (int hit = 0; hit < 60; ++hit) {
      std::string url =
          (rng() % 3 == 0 ? longPrefix : std::string()) + randomText(rng, 1 + rng() % 8);
      std::string block = randomText(rng, rng() % 40);
      store.appendUrl(url);
      plain += url + " ";
      store.appendBlock(block);
      plain += block + "</BO>";

      for (int q = 0; q < 20; ++q) {
        std::string query;
        const unsigned kind = rng() % 4;
        if (kind == 0) {  // a piece of the text itself, often starting at "http"
          size_t from = rng() % plain.size();
          size_t at = plain.find("http", from);
          if (at != std::string::npos && rng() % 4 != 0) from = at;
          query = plain.substr(from, 1 + rng() % 200);
        } else if (kind == 1) {
          query = "http" + randomText(rng, rng() % 6);
        } else if (kind == 2) {
          query = longPrefix + randomText(rng, rng() % 4);
        } else {
          query = plain.substr(rng() % plain.size(), rng() % 150) + randomText(rng, 1);
        }
        ASSERT_EQ(store.containsText(query), plain.find(query) != std::string::npos)
            << "query '" << query << "'";
      }
    }
    ASSERT_EQ(store.text(), plain);
  }
}

}  // namespace
}  // namespace quexa
