// The reader on what the panes receive: every document, the matched text of
// the matching library, and RTF in general, including broken input; and what
// "Sa&ve" writes, which must read back as the same pane.
#include <gtest/gtest.h>

#include <string>

#include "results/documents.h"
#include "results/rtf_reader.h"
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

TEST(ReadingDocuments, EachDocumentReadsAsThePaneShowsIt) {
  const std::string url = "http://x/{a}\\b/\xC3\xBC\xF0\x9F\x98\x80?q=1";
  const std::string title = "caf\xC3\xA9 {1} \\ \xE2\x82\xAC";
  const std::pair<std::string, std::string> rows[] = {
      {siteEntry(1, "http://a.com/", matchingBody(kMatched)),
       "1. http://a.com/     \n \nline one word rest\nline two\n"},
      {siteEntry(2, "http://b/", matchingBody("m")), "\n2. http://b/     \n \nm"},
      {siteEntry(1, "http://d/", serverErrorBody()),
       "1. http://d/     \n \nServer error occurred. Server could be down. Search this URL "
       "again!\n\n"},
      {engineHeading("Yahoo!", false), "Yahoo!\n"},
      {engineHeading("Lycos", true), "\n\nLycos\n"},
      {hitEntry(1, "A Title", "http://h.com/", "  The description."),
       "\n\n1. A Title\n(http://h.com/)     \n\nThe description."},
      {pageMatchView("http://a/", matchingBody("m\\par ")), "http://a/     \n \nm\n"},
      {hitDetailView(hitDetail("T", "http://h/", " D")),
       "Short Description:\n\nT\n(http://h/)\n\nD\n\n"},
      {hitDetailView(unsplitHitDetail("raw")), "Short Description:\n\nraw\n\n"},
      {linkedPageEntry("http://l/", noMatchBody()), "\nhttp://l/\n\nNo Match!\n\n"},
      {linkedPageEntry("http://l/", linkedServerErrorBody()),
       "\nhttp://l/\n\nServer Error Occured.\n\n"},
      // Escaped page text reads back as it was.
      {siteEntry(1, url, ""), "1. " + url + "     \n \n"},
      {hitEntry(4, title, "http://h/", ""), "\n\n4. " + title + "\n(http://h/)     \n\n"},
  };
  for (const auto& [doc, text] : rows) EXPECT_EQ(textOf(doc), text) << doc;
}

TEST(ReadingDocuments, EachPartKeepsItsFormat) {
  const std::string site = siteEntry(1, "http://a.com/", matchingBody(kMatched));
  const std::string hit = hitEntry(1, "A Title", "http://h.com/", "  The description.");
  const struct {
    std::string doc;
    const char* text;
    bool bold;
    Rgb color;
    int halfPoints;
  } rows[] = {
      {site, "http://a.com/", true, kBlue, 18},
      {site, "word", true, kBlack, 18},
      {site, "line one", false, kBlack, 18},
      {siteEntry(1, "http://d/", serverErrorBody()), "Server error", false, kRed, 18},
      {engineHeading("Yahoo!", false), "Yahoo!", true, kRed, 24},
      {hit, "A Title", true, kBlue, 18},
      {hit, "(http", false, kBlack, 18},
  };
  for (const auto& r : rows) {
    const TextRun run = runWith(readRtf(r.doc), r.text);
    EXPECT_EQ(run.format.bold, r.bold) << r.text;
    EXPECT_EQ(run.format.color, r.color) << r.text;
    EXPECT_EQ(run.format.fontSizeHalfPoints, r.halfPoints) << r.text;
  }
  const TextRun url = runWith(readRtf(site), "http://a.com/");
  EXPECT_EQ(url.text, "1. http://a.com/     ");
  EXPECT_EQ(url.format.fontName, "MS Sans Serif");
}

TEST(RtfFormats, PaneInsertContinuesTheLastParagraphTablesAreReadGroupsAndToggles) {
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
  // Groups, plain and toggles.
  doc = readRtf(rtf(R"(a{\b b{\i c}d}e\b f\b0 g\ul h\ulnone i\i\fs30 j\plain k{\ul0 l})"));
  EXPECT_EQ(plainText(doc), "abcdefghijkl");
  // Bold, italic, underlined and the size in half points of each letter.
  std::vector<std::string> looks;
  for (const char* letter : {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", "l"}) {
    const RunFormat f = runWith(doc, letter).format;
    looks.push_back(std::string(f.bold ? "b" : "") + (f.italic ? "i" : "") +
                    (f.underline ? "u" : "") + std::to_string(f.fontSizeHalfPoints));
  }
  EXPECT_EQ(looks, (std::vector<std::string>{"24", "b24", "bi24", "b24", "24", "b24", "24", "u24",
                                             "24", "i30", "24", "24"}));
}

TEST(RtfCharacters, UnicodeFallbacksCodePageSymbolsSpecialWordsAndSkippedDestinations) {
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

TEST(MalformedRtf, HugeNumbersClampedUnbalancedInputReadsAndEveryPrefixReadsAsAPrefix) {
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
  const std::string documents[] = {
      siteEntry(2, "http://a.com/", matchingBody(kMatched)),
      siteEntry(1, "http://d/", serverErrorBody()),
      engineHeading("Lycos", true),
      hitEntry(2, "T", "http://h/", "d"),
      hitDetailView(hitDetail("T", "http://h/", "D")),
      linkedPageEntry("http://l/", noMatchBody()),
  };
  for (const std::string& document : documents) {
    const std::string full = textOf(document);
    for (size_t cut = 5; cut <= document.size(); ++cut) {  // "{\rtf" and on
      std::string text = textOf(document.substr(0, cut));
      ASSERT_EQ(full.compare(0, text.size(), text), 0) << "cut at " << cut << ": " << text;
    }
  }
}

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

TEST(RtfWriter, WritesOneBalancedDocumentThatReadsBackAsTheSamePaneSmallOnesToo) {
  const RichText pane = paneAfterASearch();
  std::string saved = writeRtf(pane);
  EXPECT_TRUE(saved.starts_with("{\\rtf1"));
  EXPECT_EQ(braceBalance(saved), 0);
  EXPECT_NE(saved.find(" MS Sans Serif;}"), std::string::npos);
  EXPECT_NE(saved.find("\\red255\\green0\\blue0;"), std::string::npos);
  EXPECT_NE(saved.find("\\red0\\green0\\blue255;"), std::string::npos);
  EXPECT_NE(saved.find(R"(http://b.com/\{x\})"), std::string::npos);
  EXPECT_NE(saved.find(R"(caf\u233? \u-10179?\u-8704?)"), std::string::npos);
  EXPECT_EQ(readRtf(saved), pane);
  // Empty and reset panes, a line break inside a run, and plain (non-RTF) text
  // keep what the pane shows through a save: stray bytes read as Windows-1252,
  // NULs do not show.
  EXPECT_EQ(readRtf(writeRtf(RichText{})), RichText{});
  EXPECT_EQ(plainText(readRtf(writeRtf(readRtf(" ")))), " ");
  RichText broken;
  appendRun(broken.paragraphs.back(), "a\r\nb\nc", RunFormat{});
  EXPECT_EQ(plainText(readRtf(writeRtf(broken))), "a\nb\nc");
  RichText read = readRtf(std::string("caf\xA4 x\0y", 8));
  EXPECT_EQ(plainText(read), "caf\xC2\xA4 xy");
  EXPECT_EQ(plainText(readRtf(writeRtf(read))), plainText(read));
}

}  // namespace
}  // namespace quexa
