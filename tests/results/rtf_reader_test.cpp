// The reader on what the panes receive: every document, the matched text of
// the matching library, and RTF in general, including broken input.
#include "results/rtf_reader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "results/documents.h"
#include "results/rtf_writer.h"

namespace quexa {
namespace {

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kBlue{0, 0, 255};

// A matched text as the matching library leaves it: RTF inside a group.
const std::string kMatched = R"(line one \b word\b0  rest\par line two\par )";

std::string textOf(std::string_view rtf) {
  return plainText(readRtf(rtf));
}

// The run holding `text`; fails the test when there is none.
TextRun runWith(const RichText& doc, std::string_view text) {
  for (const Paragraph& p : doc.paragraphs)
    for (const TextRun& run : p.runs)
      if (run.text.find(text) != std::string::npos) return run;
  ADD_FAILURE() << "no run holds \"" << text << "\"";
  return {};
}

std::string rtf(std::string_view body) {
  return "{\\rtf1\\ansi " + std::string(body) + "}";
}

TEST(ReadingDocuments, SiteEntryAsTheControlShowsIt) {
  RichText doc = readRtf(siteEntry(1, "http://a.com/", matchingBody(kMatched)));
  EXPECT_EQ(plainText(doc), "1. http://a.com/     \n \nline one word rest\nline two\n");
  TextRun url = runWith(doc, "http://a.com/");
  EXPECT_EQ(url.text, "1. http://a.com/     ");
  EXPECT_TRUE(url.format.bold);
  EXPECT_EQ(url.format.color, kBlue);
  EXPECT_EQ(url.format.fontSizeHalfPoints, 18);
  EXPECT_EQ(url.format.fontName, "MS Sans Serif");
  EXPECT_TRUE(runWith(doc, "word").format.bold);
  TextRun plain = runWith(doc, "line one");
  EXPECT_FALSE(plain.format.bold);
  EXPECT_EQ(plain.format.color, kBlack);
  EXPECT_EQ(plain.format.fontSizeHalfPoints, 18);

  EXPECT_EQ(textOf(siteEntry(2, "http://b/", matchingBody("m"))), "\n2. http://b/     \n \nm");
}

TEST(ReadingDocuments, ServerErrorMessageIsRedWithoutALeadingBlank) {
  RichText doc = readRtf(siteEntry(1, "http://d/", serverErrorBody()));
  EXPECT_EQ(plainText(doc),
            "1. http://d/     \n \n"
            "Server error occurred. Server could be down. Search this URL again!\n\n");
  TextRun message = runWith(doc, "Server error");
  EXPECT_EQ(message.format.color, kRed);
  EXPECT_FALSE(message.format.bold);
  EXPECT_EQ(message.format.fontSizeHalfPoints, 18);
}

TEST(ReadingDocuments, EngineHeadingIsTwelvePointBoldRed) {
  RichText doc = readRtf(engineHeading("Yahoo!", false));
  EXPECT_EQ(plainText(doc), "Yahoo!\n");
  TextRun heading = runWith(doc, "Yahoo!");
  EXPECT_TRUE(heading.format.bold);
  EXPECT_EQ(heading.format.color, kRed);
  EXPECT_EQ(heading.format.fontSizeHalfPoints, 24);
  EXPECT_EQ(textOf(engineHeading("Lycos", true)), "\n\nLycos\n");
}

TEST(ReadingDocuments, HitEntryAndViews) {
  RichText hit = readRtf(hitEntry(1, "A Title", "http://h.com/", "  The description."));
  EXPECT_EQ(plainText(hit), "\n\n1. A Title\n(http://h.com/)     \n\nThe description.");
  EXPECT_TRUE(runWith(hit, "A Title").format.bold);
  EXPECT_EQ(runWith(hit, "A Title").format.color, kBlue);
  EXPECT_FALSE(runWith(hit, "(http").format.bold);
  EXPECT_EQ(runWith(hit, "(http").format.fontSizeHalfPoints, 18);

  EXPECT_EQ(textOf(pageMatchView("http://a/", matchingBody("m\\par "))), "http://a/     \n \nm\n");
  EXPECT_EQ(textOf(hitDetailView(hitDetail("T", "http://h/", " D"))),
            "Short Description:\n\nT\n(http://h/)\n\nD\n\n");
  EXPECT_EQ(textOf(hitDetailView(unsplitHitDetail("raw"))), "Short Description:\n\nraw\n\n");
  EXPECT_EQ(textOf(linkedPageEntry("http://l/", noMatchBody())), "\nhttp://l/\n\nNo Match!\n\n");
  EXPECT_EQ(textOf(linkedPageEntry("http://l/", linkedServerErrorBody())),
            "\nhttp://l/\n\nServer Error Occured.\n\n");
}

TEST(ReadingDocuments, EscapedPageTextReadsBackAsItWas) {
  const std::string url = "http://x/{a}\\b/\xC3\xBC\xF0\x9F\x98\x80?q=1";
  EXPECT_EQ(textOf(siteEntry(1, url, "")), "1. " + url + "     \n \n");
  const std::string title = "caf\xC3\xA9 {1} \\ \xE2\x82\xAC";
  EXPECT_EQ(textOf(hitEntry(4, title, "http://h/", "")),
            "\n\n4. " + title + "\n(http://h/)     \n\n");
}

TEST(PaneInsert, FirstParagraphContinuesTheLastOne) {
  RichText pane;
  appendRtf(pane, rtf("abc"));
  appendRtf(pane, rtf("def\\par ghi"));
  appendRtf(pane, rtf("\\par"));
  EXPECT_EQ(plainText(pane), "abcdef\nghi\n");
  ASSERT_EQ(pane.paragraphs.size(), 3u);
  EXPECT_EQ(pane.paragraphs[0].runs.size(), 1u);  // equal formats join

  // A reset pane holds one blank; entries follow it in order.
  RichText reset = readRtf(" ");
  appendRtf(reset, siteEntry(1, "http://a/", matchingBody("x\\par ")));
  appendRtf(reset, siteEntry(2, "http://b/", matchingBody("y\\par ")));
  EXPECT_EQ(plainText(reset), " 1. http://a/     \n \nx\n\n2. http://b/     \n \ny\n");
}

TEST(RtfTables, FontAndColourTablesAreReadNotShown) {
  RichText doc = readRtf(
      R"({\rtf1\deff1{\fonttbl{\f0\fnil Alpha;}{\f1\froman{\*\panose 0}Beta Face;}\f2 Gamma;})"
      R"({\colortbl;\red10\green20\blue30;}one \f0 two \f2\cf1 three \cf7 four \cf0 five})");
  EXPECT_EQ(plainText(doc), "one two three four five");
  EXPECT_EQ(runWith(doc, "one").format.fontName, "Beta Face");
  EXPECT_EQ(runWith(doc, "two").format.fontName, "Alpha");
  EXPECT_EQ(runWith(doc, "three").format.fontName, "Gamma");
  EXPECT_EQ(runWith(doc, "three").format.color, (Rgb{10, 20, 30}));
  EXPECT_EQ(runWith(doc, "four").format.color, kBlack);  // beyond the table
  EXPECT_EQ(runWith(doc, "five").format.color, kBlack);  // the default entry
}

TEST(RtfCharacters, GroupsPlainAndToggles) {
  RichText doc = readRtf(rtf(R"(a{\b b{\i c}d}e\b f\b0 g\ul h\ulnone i\i\fs30 j\plain k{\ul0 l})"));
  EXPECT_EQ(plainText(doc), "abcdefghijkl");
  EXPECT_FALSE(runWith(doc, "a").format.bold);
  EXPECT_TRUE(runWith(doc, "b").format.bold);
  EXPECT_TRUE(runWith(doc, "c").format.italic);
  EXPECT_TRUE(runWith(doc, "c").format.bold);
  EXPECT_FALSE(runWith(doc, "d").format.italic);
  EXPECT_FALSE(runWith(doc, "e").format.bold);
  EXPECT_TRUE(runWith(doc, "f").format.bold);
  EXPECT_FALSE(runWith(doc, "g").format.bold);
  EXPECT_TRUE(runWith(doc, "h").format.underline);
  EXPECT_FALSE(runWith(doc, "i").format.underline);
  EXPECT_EQ(runWith(doc, "j").format.fontSizeHalfPoints, 30);
  TextRun k = runWith(doc, "k");
  EXPECT_FALSE(k.format.italic);
  EXPECT_EQ(k.format.fontSizeHalfPoints, 24);
}

TEST(RtfCharacters, UnicodeFallbacksCodePageSymbolsAndSpecialWords) {
  EXPECT_EQ(textOf(rtf(R"(a\u228?b\uc2\u252xyc\uc0\u246 d)")),
            "a\xC3\xA4"
            "b\xC3\xBC"
            "c\xC3\xB6"
            "d");
  EXPECT_EQ(textOf(rtf(R"(\u-10179?\u-8704?!)")), "\xF0\x9F\x98\x80!");
  EXPECT_EQ(textOf(rtf(R"(\u-10179?x)")), "\xEF\xBF\xBDx");  // a lone surrogate
  EXPECT_EQ(textOf(rtf(R"(\u8364\'80 caf\'e9 \'93q\'94)")),
            "\xE2\x82\xAC caf\xC3\xA9 \xE2\x80\x9Cq\xE2\x80\x9D");
  // Raw UTF-8 stays; a byte that is not UTF-8 is Windows-1252.
  EXPECT_EQ(textOf(rtf("gr\xC3\xBC\xC3\x9F caf\xE9")), "gr\xC3\xBC\xC3\x9F caf\xC3\xA9");
  // The fallback ends with its group.
  EXPECT_EQ(textOf(rtf(R"({\uc3\u65 }BC)")), "ABC");
  EXPECT_EQ(textOf(rtf(R"(\\ \{x\} a\ b\~c\tab d\line e\emdash\lquote f\rquote)")),
            "\\ {x} ab\xC2\xA0"
            "c\td\ne\xE2\x80\x94\xE2\x80\x98"
            "f\xE2\x80\x99");
  EXPECT_EQ(textOf(rtf("one\\\ntwo\r\n three")), "one\ntwo three");
  EXPECT_EQ(textOf(rtf(R"(\pard x\pard\plain y)")), "xy");
}

TEST(RtfDestinations, HiddenDestinationsAndUnknownWordsAreSkippedPlainTextIsOneParagraphALine) {
  EXPECT_EQ(textOf(rtf(R"(A{\*\generator Writer 1.0;}B{\info{\title T}{\author Me}}C)")), "ABC");
  EXPECT_EQ(textOf(rtf(R"({\stylesheet{\s0 Normal;}}D{\pict\picw10\bin3 }{}}E)")), "DE");
  EXPECT_EQ(textOf(rtf(R"({\field{\*\fldinst HYPERLINK "x"}{\fldrslt shown}})")), "shown");
  EXPECT_EQ(textOf(rtf(R"(\unknownword123 x\zz-5 y\*\mystery z)")), "xy");
  EXPECT_EQ(textOf(rtf(R"(a{\*\skip {nested \} } text}b)")), "ab");
  // Input that is no RTF is one paragraph per line.
  EXPECT_EQ(textOf("no {rtf} here\r\nsecond"), "no {rtf} here\nsecond");
  EXPECT_EQ(textOf(""), "");
  EXPECT_EQ(readRtf("").paragraphs.size(), 1u);
}

TEST(MalformedRtf, HugeNumbersAreClampedUnbalancedAndTruncatedInputReads) {
  RichText doc = readRtf(rtf(R"(\fs99999999999999999999 x\u99999999999?y\cf-99999999999 z)"));
  EXPECT_EQ(plainText(doc),
            "x\xEF\xBF\xBDy"
            "z");
  EXPECT_EQ(runWith(doc, "x").format.fontSizeHalfPoints, 3276);
  EXPECT_EQ(runWith(doc, "z").format.color, kBlack);
  EXPECT_EQ(textOf(rtf(R"(\uc99999999999\u65 abc} after)")), "A");
  EXPECT_EQ(textOf(rtf(R"(a\bin99999999999 b})")), "a");
  EXPECT_EQ(textOf(rtf(R"(a\bin-5 b)")), "ab");
  EXPECT_EQ(textOf("{\\rtf1 a}}}} b"), "a");
  EXPECT_EQ(textOf("{\\rtf1 a{{{b"), "ab");
  EXPECT_EQ(textOf("{\\rtf1 a\\"), "a");
  EXPECT_EQ(textOf("{\\rtf1 a\\'"), "a");
  EXPECT_EQ(textOf("{\\rtf1 a\\'e"), "a");
  EXPECT_EQ(textOf("{\\rtf1 a\\'zz"), "azz");
  EXPECT_EQ(textOf("{\\rtf1 {\\fonttbl{\\f0 Unfinished"), "");
  std::string deep = "{\\rtf1 " + std::string(100000, '{') + "x" + std::string(100000, '}') + "}y";
  EXPECT_EQ(textOf(deep), "x");
}

TEST(MalformedRtf, EveryPrefixOfADocumentReadsAsAPrefixOfItsText) {
  const std::string documents[] = {
      siteEntry(2, "http://a.com/", matchingBody(kMatched)),
      siteEntry(1, "http://d/", serverErrorBody()),
      engineHeading("Lycos", true),
      hitEntry(2, "T", "http://h/", "d"),
      hitDetailView(hitDetail("T", "http://h/", "D")),
      linkedPageEntry("http://l/", noMatchBody()),
  };
  for (const std::string& doc : documents) {
    const std::string full = textOf(doc);
    for (size_t cut = 5; cut <= doc.size(); ++cut) {  // "{\rtf" and on
      std::string text = textOf(doc.substr(0, cut));
      ASSERT_EQ(full.compare(0, text.size(), text), 0) << "cut at " << cut << ": " << text;
    }
  }
}

// Random input, and random documents of the words the panes use: reading
// never fails, and a save reads back as the same pane.
TEST(MalformedRtf, RandomInputReadsAndSavesWithoutLoss) {
  std::mt19937 random(20240611);
  const std::string alphabet = "{}\\\\\\abfsucpr0123456789-'* ;\n\xC3\xA9\xFF";
  const char* const words[] = {"\\b ", "\\f1\\cf1 ", "\\par "};
  for (int round = 0; round < 3000; ++round) {
    std::string input =
        round % 2 ? "{\\rtf1{\\fonttbl{\\f0 A;}{\\f1 B {x};}}{\\colortbl;\\red9;}" : "";
    size_t length = random() % 200;
    for (size_t i = 0; i < length; ++i) {
      const unsigned pick = random() % 12;
      if (pick == 0)
        input += static_cast<char>(random() % 256);
      else if (pick <= 3)
        input += words[pick - 1];
      else if (pick == 4)
        input += "\\u" + std::to_string(static_cast<int>(random() % 70000) - 35000) + "?";
      else
        input += alphabet[random() % alphabet.size()];
    }
    RichText doc = readRtf(input);
    ASSERT_FALSE(doc.paragraphs.empty());
    for (const Paragraph& p : doc.paragraphs)
      for (const TextRun& run : p.runs) ASSERT_FALSE(run.text.empty());
    ASSERT_EQ(readRtf(writeRtf(doc)), doc) << input;
  }
}

}  // namespace
}  // namespace quexa
