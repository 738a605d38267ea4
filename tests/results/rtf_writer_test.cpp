// "Sa&ve" writes the pane through the writer; what it writes must read back
// as the same pane.
#include "results/rtf_writer.h"

#include <gtest/gtest.h>

#include <random>
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

TEST(RtfWriter, EmptyAndResetPanes) {
  EXPECT_EQ(readRtf(writeRtf(RichText{})), RichText{});
  RichText reset = readRtf(" ");
  EXPECT_EQ(plainText(readRtf(writeRtf(reset))), " ");
}

TEST(RtfWriter, LineBreakInsideARunEndsAParagraph) {
  RichText pane;
  appendRun(pane.paragraphs.back(), "a\r\nb\nc", RunFormat{});
  EXPECT_EQ(plainText(readRtf(writeRtf(pane))), "a\nb\nc");
}

TEST(RtfWriter, RoundTripOfRandomDocuments) {
  std::mt19937 random(7);
  const std::string alphabet = "{}\\\\abcpr0129-'u;* \n\xC3\xA4\xE9";
  for (int round = 0; round < 1500; ++round) {
    std::string input =
        "{\\rtf1{\\fonttbl{\\f0 A;}{\\f1 B {x};}}{\\colortbl;\\red9\\green8\\blue7;}";
    size_t length = random() % 160;
    for (size_t i = 0; i < length; ++i) {
      switch (random() % 6) {
        case 0:
          input += "\\b ";
          break;
        case 1:
          input += "\\f1\\cf1 ";
          break;
        case 2:
          input += "\\par ";
          break;
        case 3:
          input += "\\u" + std::to_string(static_cast<int>(random() % 70000) - 35000) + "?";
          break;
        default:
          input += alphabet[random() % alphabet.size()];
      }
    }
    RichText doc = readRtf(input);
    ASSERT_EQ(readRtf(writeRtf(doc)), doc) << input;
  }
}

}  // namespace
}  // namespace quexa

namespace quexa {

// Plain (non-RTF) text read into a pane keeps what the pane shows through a
// save: stray bytes read as Windows-1252, NULs do not show.
TEST(RoundTrip, PlainTextWithStrayBytesSurvivesASave) {
  RichText read = readRtf(std::string("caf\xA4 x\0y", 8));
  EXPECT_EQ(plainText(read), "caf\xC2\xA4 xy");
  EXPECT_EQ(plainText(readRtf(writeRtf(read))), plainText(read));
}

}  // namespace quexa
