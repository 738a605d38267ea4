// qxoptions.ini: the options read back as saved, kept in range,
// and rewritten without losing the file's other lines.
#include <gtest/gtest.h>

#include "data/options_file.h"
#include "data/text_file.h"
#include "support/scratch_dir.h"

namespace quexa {
namespace {

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
  rewriteLines(path, dir.path() + "t.tmp", {"[Options]", "connections=99"});
  EXPECT_EQ(loadOptions(dir.path()).connections, 16);
  rewriteLines(path, dir.path() + "t.tmp", {"[Options]", "connections = 0"});
  EXPECT_EQ(loadOptions(dir.path()).connections, 1);
  rewriteLines(path, dir.path() + "t.tmp", {"[Options]", "connections=many"});
  EXPECT_EQ(loadOptions(dir.path()).connections, 4);
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

}  // namespace
}  // namespace quexa
