// The small data files: qxword.ini and qxindex.ini by their section rules,
// qxoptions.ini read back as saved and kept in range, and qxengines.ini, not
// made until an engine is added. Every rewrite keeps the file's other lines.
#include <gtest/gtest.h>

#include <filesystem>

#include "data/engine_file.h"
#include "data/index_file.h"
#include "data/options_file.h"
#include "data/text_file.h"
#include "data/word_list.h"
#include "support/scratch_dir.h"

namespace quexa {
namespace {

using quexa::testing::ScratchDir;
using Lines = std::vector<std::string>;

TEST(LoadWordList, SectionRulesOfTheList) {
  ScratchDir dir;
  dir.write(kWordFileName,
            "stray\r\n[A]\r\nx\r\n\r\n  padded  \r\nA\r\n[B]\r\ny\r\n[ A ]\r\nagain\r\n"
            "close] open[\r\nhidden\r\n[C]\r\nq[c]r\r\nlost\r\n");
  EXPECT_EQ(loadWordList(dir.path(), "A"), (Lines{"x", "padded", "again"}))
      << "no stray lines, no blanks, no text equal to the name; repeated sections add up; "
         "a line with both brackets ends the section";
  EXPECT_EQ(loadWordList(dir.path(), "C"), Lines{}) << "q[c]r reads as the header of c";
  EXPECT_EQ(loadWordList(dir.path(), "c"), Lines{"lost"}) << "names are case-sensitive";

  dir.write(kEngineWordFileName, "  a  \r\n\r\n[b]\r\n");
  EXPECT_EQ(loadEngineWordList(dir.path()), (Lines{"a", "", "[b]"}));
}

TEST(SaveWordList, AppendsANewSectionAfterTheAddButton) {
  ScratchDir dir;
  dir.write(kWordFileName, " [News]\r\nz\r\n");  // not the exact header line
  WordList list;
  EXPECT_TRUE(addSearchTexts(list, {"alpha", "", "alpha", "beta"}));
  EXPECT_FALSE(addSearchTexts(list, {"beta", "", "", ""}));
  saveWordList(dir.path(), false, "News", list.entries());
  EXPECT_EQ(dir.read(kWordFileName), " [News]\r\nz\r\n[News]\r\nalpha\r\nbeta\r\n");

  saveWordList(dir.path(), false, "", {"t"});
  EXPECT_EQ(loadWordList(dir.path(), ""), Lines{"t"}) << "no index chosen: the [] section";
}

TEST(WordListControl, SortsByByteOrderAndKeepsDuplicates) {
  WordList list;
  list.addAll({"b", "\xC3\x84", "B", "a", "b"});
  EXPECT_EQ(list.entries(), (Lines{"B", "a", "b", "b", "\xC3\x84"}));
}

TEST(IndexFile, NamesAndUrlsFollowTheSectionRules) {
  ScratchDir dir;
  EXPECT_EQ(loadIndexNames(dir.path()), Lines{});
  EXPECT_TRUE(dir.exists(kIndexFileName));
  dir.write(kIndexFileName,
            "[Work]\r\nhttp://a\r\n\r\n\r\n[Home]\r\nhttp://b\r\nHome\r\nx]y[\r\nhttp://c\r\n"
            "  [Work] \r\n http://d \r\n[ My Sites ]\r\n");
  EXPECT_EQ(loadIndexNames(dir.path()), (Lines{"Work", "Home", "Work", "My Sites"}));
  EXPECT_EQ(loadIndexUrls(dir.path(), "Work"), (Lines{"http://a", "http://d"}));
  EXPECT_EQ(loadIndexUrls(dir.path(), "Home"), Lines{"http://b"})
      << "a line equal to the name is not listed; a bracket line ends the section";
}

TEST(ChooseIndex, TheUnknownIndexAndTheEmptyNameKeepParts) {
  ScratchDir dir;
  dir.write(kIndexFileName,
            "[Work]\r\nhttp://a\r\n[Unknown Index]\r\nhttp://u\r\n[]\r\nhttp://e\r\n");
  dir.write(kWordFileName, "[Work]\r\nalpha\r\n[]\r\nnone\r\n");
  IndexChoice work = chooseIndex(dir.path(), "Work");
  EXPECT_TRUE(work.clearWordList && work.clearListCategory && work.clearSearchBoxes);
  EXPECT_EQ(work.words, Lines{"alpha"});
  EXPECT_EQ(work.urls, Lines{"http://a"});

  IndexChoice unknown = chooseIndex(dir.path(), kUnknownIndex);
  EXPECT_TRUE(unknown.clearWordList);
  EXPECT_FALSE(unknown.clearListCategory) << "the previous addresses stay, these are added";
  EXPECT_FALSE(unknown.clearSearchBoxes);
  EXPECT_EQ(unknown.urls, Lines{"http://u"});

  IndexChoice empty = chooseIndex(dir.path(), "");
  EXPECT_FALSE(empty.clearWordList) << "the [] texts are added to the list as it is";
  EXPECT_TRUE(empty.clearListCategory && empty.clearSearchBoxes);
  EXPECT_EQ(empty.words, Lines{"none"});
}

TEST(OptionsFile, ConnectionsAreReadBackAndAMissingFileGivesTheDefault) {
  testing::ScratchDir dir;
  EXPECT_EQ(loadOptions(dir.path()).connections, 4);
  saveOptions(dir.path(), Options{9});
  EXPECT_EQ(loadOptions(dir.path()).connections, 9);
  EXPECT_EQ(readLines(dir.path() + kOptionsFileName),
            (std::vector<std::string>{"[Options]", "connections=9"}));
  // The rule choices are written once chosen, read back, and kept as named.
  saveOptions(dir.path(), Options{2, true, true, true});
  const Options chosen = loadOptions(dir.path());
  EXPECT_TRUE(chosen.standardLinks && chosen.ignoreRobots && chosen.checkHits);
  saveOptions(dir.path(), Options{2});
  EXPECT_EQ(readLines(dir.path() + kOptionsFileName),
            (std::vector<std::string>{"[Options]", "connections=2", "links=classic",
                                      "robots=honour", "checkhits=0"}));
  rewriteLines(dir.path() + kOptionsFileName, dir.path() + "t.tmp",
               {"[Options]", "links=Standard", "robots=no", "checkhits=yes"});
  const Options odd = loadOptions(dir.path());
  EXPECT_FALSE(odd.standardLinks || odd.ignoreRobots || odd.checkHits);
}

TEST(OptionsFile, OutOfRangeAndGarbageValuesNeverGiveAnUnusableNumber) {
  testing::ScratchDir dir;
  const std::string path = dir.path() + kOptionsFileName;
  for (const auto& [line, connections] : std::vector<std::pair<std::string, int>>{
           {"connections=99", 16}, {"connections = 0", 1}, {"connections=many", 4}}) {
    rewriteLines(path, dir.path() + "t.tmp", {"[Options]", line});
    EXPECT_EQ(loadOptions(dir.path()).connections, connections) << line;
  }
  saveOptions(dir.path(), Options{-3});
  EXPECT_EQ(loadOptions(dir.path()).connections, 1);
}

TEST(OptionsFile, SavingKeepsOtherSectionsAndKeys) {
  testing::ScratchDir dir;
  const std::string path = dir.path() + kOptionsFileName;
  rewriteLines(path, dir.path() + "t.tmp",
               {"[Other]", "x=1", "[Options]", "colour=red", "connections=2"});
  saveOptions(dir.path(), Options{6});
  EXPECT_EQ(readLines(path), (std::vector<std::string>{"[Other]", "x=1", "[Options]", "colour=red",
                                                       "connections=6"}));
  EXPECT_EQ(loadOptions(dir.path()).connections, 6);
}

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
