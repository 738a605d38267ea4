#include "data/word_list.h"

#include <gtest/gtest.h>

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

TEST(SaveWordList, RewritesAnExistingSectionInPlace) {
  ScratchDir dir;
  dir.write(kWordFileName, "[A]\r\nx\r\n[B]\r\ny\r\n");
  WordList list;
  list.addAll(loadWordList(dir.path(), "A"));
  list.removeAt(0);
  saveWordList(dir.path(), false, "A", list.entries());
  EXPECT_EQ(dir.read(kWordFileName), "[A]\r\n[B]\r\ny\r\n");
  saveWordList(dir.path(), false, "B", {"w", "", "v"});
  saveWordList(dir.path(), false, "Z", {});
  EXPECT_EQ(dir.read(kWordFileName), "[A]\r\n[B]\r\nw\r\nv\r\n");
  EXPECT_FALSE(dir.exists(kWordTempName));

  deleteWordSection(dir.path(), "A");
  EXPECT_EQ(dir.read(kWordFileName), "[B]\r\nw\r\nv\r\n");

  saveWordList(dir.path(), true, "B", {"", "a"});
  EXPECT_EQ(dir.read(kEngineWordFileName), "a\r\n");
  EXPECT_EQ(dir.read(kWordFileName), "[B]\r\nw\r\nv\r\n") << "engine mode leaves the sites' lists";
}

TEST(WordListControl, SortsByByteOrderAndKeepsDuplicates) {
  WordList list;
  list.addAll({"b", "\xC3\x84", "B", "a", "b"});
  EXPECT_EQ(list.entries(), (Lines{"B", "a", "b", "b", "\xC3\x84"}));
}

TEST(SearchBoxes, CopyAndLeavingABox) {
  bool allFull = true;
  EXPECT_EQ(copyTargetBox({"a", "", "c", ""}, "e", allFull), 1);
  EXPECT_FALSE(allFull);
  EXPECT_EQ(copyTargetBox({"a", "", "c", ""}, "c", allFull), -1) << "already in a box";
  EXPECT_EQ(copyTargetBox({"a", "b", "c", "d"}, "a", allFull), -1);
  EXPECT_TRUE(allFull) << "the message is shown even when the entry stands in a box";

  std::array<std::string, 4> boxes{" q ", " 7 ", "  ab", "\xC3\xA9"};
  EXPECT_EQ(trimBoxesAndFindSingleLetters(boxes), (std::array<bool, 4>{true, false, false, false}));
  EXPECT_EQ(boxes, (std::array<std::string, 4>{"q", "7", "ab", "\xC3\xA9"}));
}

}  // namespace
}  // namespace quexa
