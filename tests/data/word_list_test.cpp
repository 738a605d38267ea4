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

TEST(WordListControl, SortsByByteOrderAndKeepsDuplicates) {
  WordList list;
  list.addAll({"b", "\xC3\x84", "B", "a", "b"});
  EXPECT_EQ(list.entries(), (Lines{"B", "a", "b", "b", "\xC3\x84"}));
}

}  // namespace
}  // namespace quexa
