#include "data/index_file.h"

#include <gtest/gtest.h>

#include "data/word_list.h"
#include "support/scratch_dir.h"

namespace quexa {
namespace {

using quexa::testing::ScratchDir;
using Lines = std::vector<std::string>;

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

}  // namespace
}  // namespace quexa
