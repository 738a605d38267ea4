// "Sa&ve" writes the pane through the writer; what it writes must read back
// as the same pane.
#include "results/rtf_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "results/documents.h"
#include "results/rtf_reader.h"

namespace quexa {
namespace {

RichText paneAfterASearch() {
  RichText pane = readRtf(" ");
  appendRtf(pane, siteEntry(1, "http://a.com/", matchingBody(R"(one \b two\b0\par )")));
  appendRtf(pane, siteEntry(2, "http://b.com/{x}", serverErrorBody()));
  appendRtf(pane, engineHeading("Lycos", true));
  appendRtf(pane, hitEntry(3, "caf\xC3\xA9 \xF0\x9F\x98\x80", "http://h/", "desc\\"));
  return pane;
}

int braceBalance(const std::string& rtf) {
  int depth = 0;
  for (size_t i = 0; i < rtf.size(); ++i) {
    if (rtf[i] == '\\') {
      ++i;
      continue;
    }
    if (rtf[i] == '{') ++depth;
    if (rtf[i] == '}' && --depth == 0 && i + 1 != rtf.size()) return -1;  // closed early
  }
  return depth;
}

TEST(RtfWriter, WritesOneBalancedDocument) {
  std::string saved = writeRtf(paneAfterASearch());
  EXPECT_TRUE(saved.starts_with("{\\rtf1"));
  EXPECT_EQ(braceBalance(saved), 0);
  EXPECT_NE(saved.find(" MS Sans Serif;}"), std::string::npos);
  EXPECT_NE(saved.find("\\red255\\green0\\blue0;"), std::string::npos);
  EXPECT_NE(saved.find("\\red0\\green0\\blue255;"), std::string::npos);
  EXPECT_NE(saved.find(R"(http://b.com/\{x\})"), std::string::npos);
  EXPECT_NE(saved.find(R"(caf\u233? \u-10179?\u-8704?)"), std::string::npos);
}

TEST(RtfWriter, ReadingBackGivesTheSamePane) {
  RichText pane = paneAfterASearch();
  RichText again = readRtf(writeRtf(pane));
  EXPECT_EQ(plainText(again), plainText(pane));
  EXPECT_EQ(again, pane);
}

// Empty and reset panes, a line break inside a run, and plain (non-RTF) text
// keep what the pane shows through a save: stray bytes read as Windows-1252,
// NULs do not show.
TEST(RtfWriter, SmallPanesKeepWhatTheyShow) {
  EXPECT_EQ(readRtf(writeRtf(RichText{})), RichText{});
  EXPECT_EQ(plainText(readRtf(writeRtf(readRtf(" ")))), " ");
  RichText pane;
  appendRun(pane.paragraphs.back(), "a\r\nb\nc", RunFormat{});
  EXPECT_EQ(plainText(readRtf(writeRtf(pane))), "a\nb\nc");
  RichText read = readRtf(std::string("caf\xA4 x\0y", 8));
  EXPECT_EQ(plainText(read), "caf\xC2\xA4 xy");
  EXPECT_EQ(plainText(readRtf(writeRtf(read))), plainText(read));
}

}  // namespace
}  // namespace quexa
