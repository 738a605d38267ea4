#include "match/extract_text.h"

#include <gtest/gtest.h>

namespace quexa {
namespace {

TEST(PlainTextOfExtract, LinesEscapesAndUnicode) {
  EXPECT_EQ(plainTextOfExtract("Hot {\\b\\cf1 COFFEE}\\par next\\par "), "Hot COFFEE\nnext\n");
  EXPECT_EQ(plainTextOfExtract("\\{a\\} \\\\ \\u233?\\u-10179?\\u-8704?\\u-3?"),
            "{a} \\ \xC3\xA9\xF0\x9F\x98\x80\xEF\xBF\xBD");
  // A lone surrogate is a replacement character; a cut-off escape is dropped.
  EXPECT_EQ(plainTextOfExtract("\\u-10179?x\\"), "\xEF\xBF\xBDx");
}

}  // namespace
}  // namespace quexa
