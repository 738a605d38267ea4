// qxengines.ini: not made until an engine is added; adds, ticks and removals
// keep every other section and line.
#include "data/engine_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/scratch_dir.h"

namespace quexa {
namespace {

UserEngine engine(std::string name, std::string url, ResultFormat format = ResultFormat::Rss) {
  UserEngine e;
  e.name = std::move(name);
  e.urlTemplate = std::move(url);
  e.format = format;
  return e;
}

TEST(EngineFile, AddTickRemoveKeepTheRestOfTheFile) {
  testing::ScratchDir dir;
  EXPECT_TRUE(loadUserEngines(dir.path()).empty());
  EXPECT_FALSE(std::filesystem::exists(dir.file(kEngineFileName)));
  // A section without an address is not asked, but stays in the file.
  dir.write(kEngineFileName, "[Broken]\r\nformat=rss\r\n");

  UserEngine searx = engine(
      "Home SearXNG", "http://localhost:8888/search?q={searchTerms}&format=json&pageno={startPage}",
      ResultFormat::SearxngJson);
  searx.ticked = true;
  addUserEngine(dir.path(), searx);
  UserEngine peer = engine(
      "Peer", "http://localhost:8090/yacysearch.rss?query={searchTerms}&startRecord={startIndex?}");
  peer.indexOffset = 0;
  addUserEngine(dir.path(), peer);
  EXPECT_EQ(dir.read(kEngineFileName),
            "[Broken]\r\nformat=rss\r\n[Home "
            "SearXNG]\r\nurl=http://localhost:8888/search?q={searchTerms}&format=json&"
            "pageno={startPage}\r\nformat=searxng-json\r\nticked=1\r\n"
            "[Peer]\r\nurl=http://localhost:8090/yacysearch.rss?query={searchTerms}&startRecord="
            "{startIndex?}\r\nformat=rss\r\nindexoffset=0\r\n");

  EXPECT_TRUE(tickUserEngine(dir.path(), "Peer", true));
  EXPECT_TRUE(tickUserEngine(dir.path(), "Home SearXNG", false));
  EXPECT_FALSE(tickUserEngine(dir.path(), "Nobody", true));
  std::vector<UserEngine> loaded = loadUserEngines(dir.path());
  ASSERT_EQ(loaded.size(), 2u);
  EXPECT_EQ(loaded[0].name, "Home SearXNG");
  EXPECT_FALSE(loaded[0].ticked);
  EXPECT_EQ(loaded[0].format, ResultFormat::SearxngJson);
  EXPECT_TRUE(loaded[1].ticked);
  EXPECT_EQ(loaded[1].indexOffset, 0);

  EXPECT_TRUE(removeUserEngine(dir.path(), "Home SearXNG"));
  EXPECT_FALSE(removeUserEngine(dir.path(), "Home SearXNG"));
  loaded = loadUserEngines(dir.path());
  ASSERT_EQ(loaded.size(), 1u);
  EXPECT_EQ(loaded[0].name, "Peer");
  EXPECT_EQ(dir.read(kEngineFileName).rfind("[Broken]\r\nformat=rss\r\n[Peer]\r\n", 0), 0u);
}

}  // namespace
}  // namespace quexa
