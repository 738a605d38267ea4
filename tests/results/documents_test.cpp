// The documents and tree nodes are a contract with the View command's entry
// lookup and the node clicks down to the blanks, so they are checked byte for
// byte against hand-written text; then the lookup itself over the
// all-results pane's plain text, as the pane shows it after a search.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "results/documents.h"
#include "results/entry_lookup.h"
#include "results/node_keys.h"
#include "results/rtf_reader.h"
#include "results/rtf_text.h"
#include "support/window_events.h"

namespace quexa {
namespace {

const std::string kHeader =
    R"({\rtf1\ansi\deff0\deftab720{\fonttbl{\f0\fswiss MS Sans Serif;}{\f1\froman\fcharset2 Symbol;})"
    R"({\f2\froman\fprq2 Times New Roman;}{\f3\froman Times New Roman;}{\f4\froman Times New Roman;})"
    R"({\f5\fmodern\fprq1 Courier New;} }{\colortbl\red0\green0\blue0;\red255\green0\blue0;)"
    R"(\red0\green0\blue255;})";
const std::string kPar = R"({\f4\fs18}\pard {\fs18 \par})";
const std::string kErrorBody =
    R"(\fs18\cf1\ Server error occurred. Server could be down. Search this URL again!)" + kPar +
    kPar;

// The bold blue line of a site entry or page view and the blank line under it.
std::string urlLine(const std::string& shown) {
  return R"({\fs18\cf2\b )" + shown + R"(     \f4\fs18}\pard {\fs18 \par} \pard {\fs18 \par })";
}

// Only later site entries start with a paragraph end; a server error page
// shows the red message; the page view is the site entry without number.
TEST(Documents, SiteEntriesPageViewsEngineHeadingsAndHitEntries) {
  EXPECT_EQ(siteEntry(1, "http://a.com/", matchingBody("found \\b it\\b0\\par ")),
            kHeader + urlLine("1. http://a.com/") + R"(\fs18 found \b it\b0\par })");
  EXPECT_EQ(siteEntry(2, "http://b.com/x", matchingBody("m")),
            kHeader + urlLine(kPar + "2. http://b.com/x") + R"(\fs18 m})");
  EXPECT_EQ(entryNumber(12), "12. ");
  EXPECT_EQ(serverErrorBody(), kErrorBody);
  EXPECT_EQ(siteEntry(1, "http://down/", serverErrorBody()),
            kHeader + urlLine("1. http://down/") + kErrorBody + "}");
  EXPECT_EQ(pageMatchView("http://a.com/", matchingBody("x")),
            kHeader + urlLine("http://a.com/") + R"(\fs18 x})");
  EXPECT_EQ(pageMatchView("http://a.com/", serverErrorBody()),
            kHeader + urlLine("http://a.com/") + kErrorBody + "}");
  // Two empty paragraphs from the second listed hit on, except for the first engine.
  EXPECT_EQ(engineHeading("Yahoo!", false), kHeader + R"({\fs24\cf1\b Yahoo!})" + kPar + "}");
  EXPECT_EQ(engineHeading("Lycos", true),
            kHeader + kPar + kPar + R"({\fs24\cf1\b Lycos})" + kPar + "}");
  EXPECT_EQ((std::vector<bool>{engineHeadingSpaced(false, 0), engineHeadingSpaced(false, 1),
                               engineHeadingSpaced(false, 2), engineHeadingSpaced(true, 5)}),
            (std::vector<bool>{false, false, true, false}));
  // A hit entry always starts with two paragraph ends; a lone line break as its
  // description reads "No Short Description!".
  std::string expected = kHeader + kPar + kPar + R"({\fs18\cf2\b 1. A Title)" + kPar + "}" +
                         R"({\fs18 (http://h.com/)     )" + kPar + kPar + "}" +
                         R"({\fs18 The description.}})";
  EXPECT_EQ(hitEntry(1, "A Title", "http://h.com/", "   The description."), expected);
  EXPECT_EQ(hitEntry(2, "T", "http://x/", "d").substr(0, kHeader.size() + 2 * kPar.size() + 17),
            kHeader + kPar + kPar + R"({\fs18\cf2\b 2. T)");
  EXPECT_EQ((std::vector<std::string_view>{shownDescription("\n"), shownDescription("\r"),
                                           shownDescription("\r\n"), shownDescription("text")}),
            (std::vector<std::string_view>{"No Short Description!", "No Short Description!", "\r\n",
                                           "text"}));
}

TEST(HitDetailView, SplitAndUnsplitDetailAndLinkedPageEntries) {
  std::string frame = kHeader + R"({\fs18\cf2\b Short Description:)" + kPar + kPar + "}";
  EXPECT_EQ(
      hitDetailView(hitDetail("Title", "http://h/", "  Desc")),
      frame + R"({\fs18 Title)" + kPar + "(http://h/)" + kPar + kPar + "Desc}" + kPar + kPar + "}");
  EXPECT_EQ(hitDetailView(unsplitHitDetail("raw {text}")),
            frame + R"(raw \{text\})" + kPar + kPar + "}");
  std::string head =
      kHeader + kPar + R"({\fs18\cf2\b http://l/)" + kPar + kPar + "}" + R"({\fs18 )";
  EXPECT_EQ(linkedPageEntry("http://l/", matchingBody("m")), head + R"(\fs18 m}})");
  EXPECT_EQ(linkedPageEntry("http://l/", noMatchBody()),
            head + R"(\fs18 No Match!)" + kPar + kPar + "}}");
  EXPECT_EQ(linkedPageEntry("http://l/", linkedServerErrorBody()),
            head + R"(\fs18\cf1\ Server Error Occured.)" + kPar + kPar + "}}");
  EXPECT_EQ(linkedPageEntry("http://l/", serverErrorBody()), head + kErrorBody + "}}");
  std::string buffer = std::string("one\\par ") + '\0' + "stale" + '\0';
  EXPECT_EQ(matchedText(buffer), "one\\par ");
  EXPECT_EQ(linkedMatchedText(buffer), "one\\par ");
  EXPECT_EQ(matchedText(std::string(1, '\0')), "");
  const std::string blanks(40, ' ');
  EXPECT_EQ(matchedText(blanks), "");
  EXPECT_EQ(linkedMatchedText(blanks), blanks);
}

// Text from pages is escaped in every document.
TEST(RtfEscape, PlainAsciiStaysByteIdenticalBracesBackslashesAndNonAsciiAreEscaped) {
  std::string ascii = "http://www.a.com/path?q=1&r=two words; \"quoted\" <b>\t";
  EXPECT_EQ(rtfEscape(ascii), ascii);
  EXPECT_EQ(siteEntry(1, ascii, ""), kHeader + urlLine("1. " + ascii) + "}");
  EXPECT_EQ(rtfEscape("http://x/{a}\\b/\xC3\xBC"), R"(http://x/\{a\}\\b/\u252?)");
  // Above U+FFFF: a surrogate pair, each a signed 16-bit number.
  EXPECT_EQ(rtfEscape("\xF0\x9F\x98\x80"), R"(\u-10179?\u-8704?)");
  EXPECT_EQ(rtfEscape("\xE2\x82\xAC"), R"(\u8364?)");
  EXPECT_EQ(rtfEscape("\xEF\xBF\xBF"), R"(\u-1?)");
  // Bytes that are not UTF-8 are read as Windows-1252.
  EXPECT_EQ(rtfEscape("caf\xE9 \x80"), R"(caf\u233? \u8364?)");
  const std::string url = "http://x/{}\\";
  const std::string escaped = R"(http://x/\{\}\\)";
  EXPECT_NE(siteEntry(1, url, "").find(escaped), std::string::npos);
  EXPECT_NE(pageMatchView(url, "").find(escaped), std::string::npos);
  EXPECT_NE(linkedPageEntry(url, "").find(escaped), std::string::npos);
  std::string hit = hitEntry(1, "{t}", url, "\\d");
  EXPECT_NE(hit.find(R"(1. \{t\})"), std::string::npos);
  EXPECT_NE(hit.find("(" + escaped + ")     "), std::string::npos);
  EXPECT_NE(hit.find(R"({\fs18 \\d})"), std::string::npos);
  EXPECT_NE(hitDetail("{", url, "}").find(R"({\fs18 \{)"), std::string::npos);
  // The matched text is already RTF and goes in unchanged.
  EXPECT_EQ(matchingBody("{\\b x}"), "\\fs18 {\\b x}");
}

using test::nodeLine;

TEST(NodeLines, IndexSitePageEngineAndHitNodes) {
  EXPECT_EQ(nodeLine(indexNode("My Sites")), "-|My Sites\\|My Sites|closed|open");
  EXPECT_EQ(nodeLine(siteNode("My Sites", "http://a.com")),
            "My Sites\\|http://a.com|http://a.com|closed|-");
  // The third page: the word Yahoo, a blank, the digit 3 and the URL.
  EXPECT_EQ(
      nodeLine(pageNode("http://a.com", 3, "http://a.com/p.html", "http://a.com/p.html", false)),
      "http://a.com|Yahoo 3http://a.com/p.html|http://a.com/p.html|leaf|-");
  // A server error marks the text, not the key.
  EXPECT_EQ(nodeLine(pageNode("I\\", 1, "http://down/", "http://down/", true)),
            "I\\|Yahoo 1http://down/|http://down/ (Server Error)|leaf|-");
}

TEST(LinkedPages, SlashAppendedTextFromTheSiteUrlAndNodeKeysLowerCasedFromTheFirstHttp) {
  EXPECT_EQ(linkedPageUrl("http://a.com", "http://a.com"), "http://a.com/");
  EXPECT_EQ(linkedPageUrl("http://a.com ", " http://a.com"), "http://a.com /");
  EXPECT_EQ(linkedPageUrl("http://a.com/x", "http://a.com"), "http://a.com/x");
  EXPECT_EQ(linkedPageUrl("http://a.com/", "http://a.com/"), "http://a.com//");
  EXPECT_EQ(linkedPageText("http://a.com/x", "http://a.com"), "http://a.com/x");
  EXPECT_EQ(linkedPageText("http://www.a.com/x", "a.com"), "a.com/x");
  EXPECT_EQ(linkedPageText("http://b.org/y", "http://a.com"), "http://b.org/y");
  ASSERT_EQ(kEngineNodeNames.size(), 5u);
  const EngineNodeNames& altaVista = kEngineNodeNames[4];
  EXPECT_EQ(nodeLine(engineNode(altaVista)), "-|AltaVista\\|AltaVista|closed|open");
  // AltaVista's leaf keys use a lower-case v; the text starts with a blank.
  EXPECT_EQ(nodeLine(hitNode(altaVista, 3, "http://h.com/", "Some Title")),
            "AltaVista\\|Altavista 3http://h.com/| 3. Some Title|leaf|-");
  EXPECT_EQ(kEngineNodeNames[0].headingText, "Yahoo!");
  EXPECT_EQ(nodeLine(hitNode(kEngineNodeNames[0], 12, "http://y/", "T")),
            "Yahoo\\|Yahoo 12http://y/| 12. T|leaf|-");
  EXPECT_EQ(kEngineNodeNames[2].nodeText, "InfoSeek");
  // No engine's or page's key prefix holds "http".
  for (const EngineNodeNames& engine : kEngineNodeNames)
    EXPECT_EQ(urlFromNodeKey(hitNodeKey(engine, 7, "http://x.com/a")), "http://x.com/a");
  EXPECT_EQ(urlFromNodeKey(pageNodeKey(1, "http://x.com/")), "http://x.com/");
  EXPECT_EQ(urlFromNodeKey("Yahoo 3HTTP://Www.A.com/Page.HTML"), "http://www.a.com/page.html");
  EXPECT_EQ(urlFromNodeKey("Lycos 2http://a/?q=http"), "http://a/?q=http");
  // The standard link rules view and search a page at its address as resolved.
  EXPECT_EQ(urlFromNodeKey("3http://a.com/Docs/Page.html?Q=1", true),
            "http://a.com/Docs/Page.html?Q=1");
  // An index node key holds no "http": the whole lower-cased key.
  EXPECT_EQ(urlFromNodeKey(indexNodeKey("My Sites")), "my sites\\");
  EXPECT_EQ(urlFromNodeKey(""), "");
}

std::string paneText(const std::vector<std::string>& documents) {
  RichText pane;
  for (const std::string& doc : documents) appendRtf(pane, doc);
  return plainText(pane);
}

// The caret just after the start of `marker` (inside the text it begins).
size_t caretInside(const std::string& text, std::string_view marker) {
  size_t at = text.find(marker);
  EXPECT_NE(at, std::string::npos) << marker;
  return utf16Length(std::string_view(text).substr(0, at)) + 1;
}

// Unreadable text keeps the earlier selection.
TEST(SiteEntryLookup, TheCaretReadsTheEntryItStandsIn) {
  const std::string text = paneText({
      siteEntry(1, "http://one.com/", matchingBody("first page, see 2. below\\par ")),
      siteEntry(2, "http://two.com/a", matchingBody("second\\par ")),
      siteEntry(3, "http://three.com/", serverErrorBody()),
  });
  auto pick = [&](size_t caret, std::string_view selected = "") {
    return pickEntryUrl(text, caret, EntryLayout::Site, selected);
  };
  EXPECT_EQ(pick(0), "http://one.com/");
  EXPECT_EQ(pick(0, "http://old/"), "http://one.com/");
  EXPECT_EQ(pick(caretInside(text, "first page")), "http://one.com/");
  EXPECT_EQ(pick(caretInside(text, "3. http")), "http://three.com/");
  EXPECT_EQ(pick(caretInside(text, "Server error")), "http://three.com/");
  // Just before a number the caret still reads the previous entry.
  EXPECT_EQ(pick(caretInside(text, "3. http") - 1), "http://one.com/");
  EXPECT_EQ(pick(utf16Length(text)), "http://three.com/");
  EXPECT_EQ(pick(utf16Length(text) + 100), "http://three.com/");
  // "see 2. below" is found as entry 2; it does not read as a URL, so it is
  // passed over, and the search for "3. " starts from there.
  EXPECT_EQ(pick(caretInside(text, "2. below")), "http://one.com/");
  EXPECT_EQ(pick(caretInside(text, "second")), "http://one.com/");
  EXPECT_EQ(pickEntryUrl("", 0, EntryLayout::Site, "http://tree/"), "http://tree/");
  EXPECT_EQ(pickEntryUrl("", 0, EntryLayout::Site, ""), "");
  EXPECT_EQ(pickEntryUrl("1. www.x     ", 5, EntryLayout::Site, "keep"), "keep");
  EXPECT_EQ(pickEntryUrl("1. http://no-blanks", 5, EntryLayout::Site, "keep"), "keep");
  // A later unreadable entry leaves the last readable one.
  EXPECT_EQ(pickEntryUrl("1. http://a     \n2. xx", 20, EntryLayout::Site, ""), "http://a");
}

TEST(SiteEntryLookup, CaretCountsUtf16UnitsNotBytes) {
  // Entry 1's matched text holds characters of two, three and four bytes
  // (the last one two UTF-16 units).
  std::string wide;
  for (int i = 0; i < 10; ++i) wide += "\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80";
  const std::string text = paneText({
      siteEntry(1, "http://one/", matchingBody(wide + "\\par ")),
      siteEntry(2, "http://two/", matchingBody("x")),
  });
  size_t caret = caretInside(text, "2. http");
  EXPECT_EQ(pickEntryUrl(text, caret, EntryLayout::Site, ""), "http://two/");
  EXPECT_EQ(pickEntryUrl(text, caret - 1, EntryLayout::Site, ""), "http://one/");
}

// A URL needs its closing parenthesis and five blanks.
TEST(HitEntryLookup, CaretBeforeInsideAndAfter) {
  const std::string text = paneText({
      engineHeading("Yahoo!", false),
      hitEntry(1, "First hit", "http://one.com/", "see 2. below for more"),
      hitEntry(2, "Second hit", "http://two.com/", "two"),
      engineHeading("Lycos", true),
      hitEntry(3, "Third (hit)", "http://three.com/x", ""),
  });
  auto pick = [&](size_t caret) { return pickEntryUrl(text, caret, EntryLayout::Hit, ""); };
  EXPECT_EQ(pick(0), "http://one.com/");
  EXPECT_EQ(pick(caretInside(text, "First hit")), "http://one.com/");
  EXPECT_EQ(pick(caretInside(text, "Second hit")), "http://two.com/");
  EXPECT_EQ(pick(caretInside(text, "Lycos")), "http://two.com/");
  EXPECT_EQ(pick(caretInside(text, "Third")), "http://three.com/x");
  EXPECT_EQ(pick(utf16Length(text)), "http://three.com/x");
  // After "see 2. " in a description the first "(http" is entry 2's URL.
  EXPECT_EQ(pick(caretInside(text, "2. below")), "http://two.com/");
  EXPECT_EQ(pickEntryUrl("1. T\n(http://a)    \n", 0, EntryLayout::Hit, "keep"), "keep");
  EXPECT_EQ(pickEntryUrl("1. T\n(ftp://a)     \n", 0, EntryLayout::Hit, "keep"), "keep");
  EXPECT_EQ(pickEntryUrl("1. T\n(http://a)     \n", 0, EntryLayout::Hit, "keep"), "http://a");
}

}  // namespace
}  // namespace quexa
