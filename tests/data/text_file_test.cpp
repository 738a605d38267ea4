#include "data/text_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/scratch_dir.h"

namespace quexa {
namespace {

using quexa::testing::ScratchDir;
using Lines = std::vector<std::string>;

TEST(ReadLines, AcceptsEveryLineEndAndWindows1252AndCreatesAMissingFile) {
  ScratchDir dir;
  EXPECT_EQ(readLines(dir.file("new.ini")), Lines{});
  EXPECT_TRUE(dir.exists("new.ini"));
  dir.write("f.ini", "a\r\nb\nc\rd\r\r\n\ncaf\xE9\r\n\x80 5");
  EXPECT_EQ(readLines(dir.file("f.ini")),
            (Lines{"a", "b", "c", "d", "", "", "caf\xC3\xA9", "\xE2\x82\xAC 5"}));
}

TEST(Rewrite, ReplacesWholeWithCrlfAndNeverLeavesAStaleTemporaryFile) {
  ScratchDir dir;
  appendLines(dir.file("f.ini"), {"[A]", "x"});
  EXPECT_EQ(dir.read("f.ini"), "[A]\r\nx\r\n");
  // What an interrupted rewrite leaves: the old file intact beside a partial temporary one.
  dir.write("f.tmp", "half writ");
  EXPECT_EQ(readLines(dir.file("f.ini")), (Lines{"[A]", "x"}));
  rewriteLines(dir.file("f.ini"), dir.file("f.tmp"), {"z", ""});
  EXPECT_EQ(dir.read("f.ini"), "z\r\n\r\n");
  EXPECT_FALSE(dir.exists("f.tmp"));
}

TEST(Rewrite, AFailedRewriteKeepsTheOldFileAndReportsTheFailure) {
  ScratchDir dir;
  dir.write("f.ini", "old\r\n");
  EXPECT_THROW(rewriteLines(dir.file("f.ini"), dir.file("missing/f.tmp"), {"new"}),
               std::filesystem::filesystem_error);
  EXPECT_EQ(dir.read("f.ini"), "old\r\n");

  std::filesystem::create_directories(dir.file("d.ini/inner"));  // the rename cannot replace it
  EXPECT_THROW(rewriteBytes(dir.file("d.ini"), dir.file("d.tmp"), "x"),
               std::filesystem::filesystem_error);
  EXPECT_FALSE(dir.exists("d.tmp"));
}

}  // namespace
}  // namespace quexa
