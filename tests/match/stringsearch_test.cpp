// The matching library on pages written into a scratch directory: how the
// texts combine, case folding, the visible text, the extract and damaged input.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "app/state.h"
#include "match/dl_matcher.h"
#include "match/extract_text.h"
#include "match/mzk11.h"
#include "match/page_match.h"
#include "support/scratch_dir.h"

namespace quexa::testing {
namespace {

struct LibraryAnswer {
  int32_t result = 0;
  std::string extract;  // the buffer before its first NUL
  std::string buffer;   // the whole buffer
};

class LibraryTest : public ::testing::Test {
 protected:
  // Texts and connectors as the window passes them.
  LibraryAnswer search(const std::string& page, std::array<std::string, 4> texts,
                       std::array<int32_t, 3> connectors = {MZK11_AND, MZK11_AND, MZK11_AND},
                       int32_t caseMode = MZK11_MATCH_CASE) {
    dir_.write("page.tmp", page);
    LibraryAnswer a;
    a.buffer = std::string(kMatchBufferSize, ' ');
    a.result = matcher_.stringSearch(dir_.file("page.tmp"), static_cast<int32_t>(page.size()),
                                     caseMode, texts, connectors, a.buffer);
    a.extract = matchedTextBeforeNul(a.buffer);
    return a;
  }
  LibraryAnswer find(const std::string& page, const std::string& text,
                     int32_t caseMode = MZK11_MATCH_CASE) {
    return search(page, {text, "", "", ""}, {MZK11_AND, MZK11_AND, MZK11_AND}, caseMode);
  }

  // The exported function itself, for the arguments the programs keep fixed.
  mzk11_string_search_fn rawFunction() {
    if (!raw_) {
      void* h = dlopen(QUEXA_BIN_DIR "/libmzk11.so", RTLD_NOW | RTLD_LOCAL);
      if (h) raw_ = reinterpret_cast<mzk11_string_search_fn>(dlsym(h, "stringSearch"));
    }
    return raw_;
  }

  ScratchDir dir_;
  DlMatcher matcher_;

 private:
  mzk11_string_search_fn raw_ = nullptr;
};

const std::string kPage =
    "<html><body><p>Apples and pears</p><p>Only plums here</p><p>Cherries</p></body></html>";

using CombineTest = LibraryTest;

// Connectors join from left to right; empty texts take no part and the
// connector left of a text counts.
TEST_F(CombineTest, AndOrNotFromLeftToRightOverTheNonEmptyTexts) {
  constexpr int32_t A = MZK11_AND, O = MZK11_OR, N = MZK11_NOT;
  const struct {
    std::array<std::string, 4> texts;
    std::array<int32_t, 3> connectors;
    bool found;
  } rows[] = {
      {{"Apples", "plums", "", ""}, {A, A, A}, true},
      {{"Apples", "grapes", "", ""}, {A, A, A}, false},
      {{"grapes", "plums", "", ""}, {O, A, A}, true},
      {{"grapes", "kiwis", "", ""}, {O, A, A}, false},
      {{"Apples", "grapes", "", ""}, {N, A, A}, true},
      {{"Apples", "plums", "", ""}, {N, A, A}, false},
      // ((grapes OR Apples) AND plums) NOT Cherries.
      {{"grapes", "Apples", "plums", "Cherries"}, {O, A, N}, false},
      // (grapes AND Apples) OR Cherries, not grapes AND (Apples OR Cherries).
      {{"grapes", "Apples", "Cherries", ""}, {A, O, A}, true},
      {{"", "", "", ""}, {A, A, A}, false},
      {{"   ", "", "", ""}, {A, A, A}, false},
      // Text 2 is the start value even though connector 1 is NOT.
      {{"", "plums", "", ""}, {N, A, A}, true},
      // Apples, then text 4 joined by connector 3 (NOT) across the empty text 3.
      {{"Apples", "", "", "plums"}, {O, O, N}, false},
      {{"Apples", "", "", "grapes"}, {N, N, O}, true},
      // An unknown connector code counts as AND.
      {{"Apples", "grapes", "", ""}, {0, 0, 0}, false},
  };
  for (const auto& r : rows) {
    const int32_t result = search(kPage, r.texts, r.connectors).result;
    EXPECT_TRUE(r.found ? result > 0 : result == 0)
        << result << ": " << r.texts[0] << "," << r.texts[1] << "," << r.texts[2] << ","
        << r.texts[3];
  }
}

// Case ignored, every cased script folds, also where a letter's fold has
// another byte length; the extract keeps the page's own letters and marks
// exactly the matched ones. Case matched compares bytes.
struct FoldRow {
  std::string page;
  std::string text;
  std::string extractIgnoringCase;  // "": no match
  bool matchesWithCase;
};

TEST_F(CombineTest, CaseModesInEveryCasedScript) {
  const FoldRow rows[] = {
      {"<p>Apples</p>", "apples", "{\\b\\cf1 Apples}\\par ", false},
      {"<p>\u00C4PFEL</p>", "\u00E4pfel", "{\\b\\cf1 \\u196?PFEL}\\par ", false},
      // Cyrillic both ways round, Greek with its final sigma, Armenian.
      {"<p>\u041C\u0418\u0420</p>", "\u043C\u0438\u0440",
       "{\\b\\cf1 \\u1052?\\u1048?\\u1056?}\\par ", false},
      {"<p>\u043C\u0438\u0440</p>", "\u041C\u0418\u0420",
       "{\\b\\cf1 \\u1084?\\u1080?\\u1088?}\\par ", false},
      {"<p>\u041C\u0418\u0420</p>", "\u041C\u0418\u0420",
       "{\\b\\cf1 \\u1052?\\u1048?\\u1056?}\\par ", true},
      {"<p>\u039F\u0394\u039F\u03A3</p>", "\u03BF\u03B4\u03BF\u03C2",
       "{\\b\\cf1 \\u927?\\u916?\\u927?\\u931?}\\par ", false},
      {"<p>G\u0118\u015ALA</p>", "g\u0119\u015Bla", "{\\b\\cf1 G\\u280?\\u346?LA}\\par ", false},
      {"<p>\u0540\u0531\u0545</p>", "\u0570\u0561\u0575",
       "{\\b\\cf1 \\u1344?\\u1329?\\u1349?}\\par ", false},
      // Georgian capitals, Cherokee (its small letters fold to the capitals),
      // full-width Latin.
      {"<p>\u1CA1\u1C90</p>", "\u10E1\u10D0", "{\\b\\cf1 \\u7329?\\u7312?}\\par ", false},
      {"<p>\u13E3\u13B3\u13A9</p>", "\uABB3\uAB83\uAB79",
       "{\\b\\cf1 \\u5091?\\u5043?\\u5033?}\\par ", false},
      {"<p>\uFF21\uFF22</p>", "\uFF41\uFF42", "{\\b\\cf1 \\u-223?\\u-222?}\\par ", false},
      // Folds that shorten (Kelvin sign, capital sharp s, long s) or lengthen
      // (U+023A) the letter, with marks after them still in place.
      {"<p>1 \u212A = 1 k</p>", "k", "1 {\\b\\cf1 \\u8490?} = 1 {\\b\\cf1 k}\\par ", true},
      {"<p>STRA\u1E9EE und Stra\u00DFe</p>", "stra\u00DFe",
       "{\\b\\cf1 STRA\\u7838?E} und {\\b\\cf1 Stra\\u223?e}\\par ", false},
      {"<p>Me\u017F\u017Fe</p>", "messe", "{\\b\\cf1 Me\\u383?\\u383?e}\\par ", false},
      {"<p>\u023Ab \u2C65B</p>", "\u2C65b", "{\\b\\cf1 \\u570?b} {\\b\\cf1 \\u11365?B}\\par ",
       false},
      {"<p>Sixteen bytes or more of ASCII, STRA\u1E9EE, then Me\u017F\u017Fe and MORE words</p>",
       "stra\u00DFe, then messe and more",
       "Sixteen bytes or more of ASCII, {\\b\\cf1 STRA\\u7838?E, then Me\\u383?\\u383?e and "
       "MORE} words\\par ",
       false},
      {"<p>\u1E9E\u1E9E\u1E9E\u1E9E</p><p>a</p><p>bc</p>", "bc", "{\\b\\cf1 bc}\\par ", true},
      {"<p>\u023A\u023A\u023A\u023A</p><p>bc</p><p>a</p>", "bc", "{\\b\\cf1 bc}\\par ", true},
      // Simple folding: the micro sign is Greek mu, capital I with dot above
      // stays itself, sharp s is not "ss".
      {"<p>5 \u00B5m</p>", "\u03BCm", "5 {\\b\\cf1 \\u181?m}\\par ", false},
      {"<p>\u0130stanbul</p>", "istanbul", "", false},
      {"<p>Stra\u00DFe</p>", "strasse", "", false},
  };
  for (const FoldRow& row : rows) {
    SCOPED_TRACE(row.page + " / " + row.text);
    LibraryAnswer a = find(row.page, row.text, MZK11_IGNORE_CASE);
    EXPECT_EQ(a.result, row.extractIgnoringCase.empty() ? 0 : 1);
    EXPECT_EQ(a.result > 0 ? a.extract : "", row.extractIgnoringCase);
    EXPECT_EQ(find(row.page, row.text).result > 0, row.matchesWithCase);
  }
}

TEST_F(CombineTest, TextsMatchOnWordsNotMarkupAndNeverAcrossLines) {
  EXPECT_EQ(find(kPage, "body").result, 0);
  EXPECT_EQ(find(kPage, "pears Only").result, 0);
  EXPECT_EQ(find(kPage, "pears\nOnly").result, 0);
  EXPECT_GT(find("<b>Apples</b>  \n <i>and</i>", "Apples and").result, 0);
  // A text with inner white space runs matches the page's single blanks.
  EXPECT_GT(find("<p>Apples and pears</p>", "Apples   and").result, 0);
}

using VisibleTextTest = LibraryTest;

TEST_F(VisibleTextTest, EntitiesAreDecoded) {
  EXPECT_EQ(find("<p>Fish &amp; Chips</p>", "Fish & Chips").extract,
            "{\\b\\cf1 Fish & Chips}\\par ");
  EXPECT_GT(find("<p>a &lt;b&gt; &quot;c&quot; &apos;d&apos;</p>", "a <b> \"c\" 'd'").result, 0);
  EXPECT_GT(find("<p>x&nbsp;y</p>", "x y").result, 0);
  EXPECT_GT(find("<p>&#65;&#x42;&#X43;&#68</p>", "ABCD").result, 0);
  EXPECT_GT(find("<p>caf&eacute; &copy; &Uuml;</p>", "caf\xC3\xA9 \xC2\xA9 \xC3\x9C").result, 0);
  // Unknown and unfinished references stay as written.
  EXPECT_GT(find("<p>&bogus; &amp</p>", "&bogus; &amp").result, 0);
  EXPECT_EQ(find("<p>&#0;&#xD800;&#99999999;</p>", "\xEF\xBF\xBD\xEF\xBF\xBD").result, 1);
}

TEST_F(VisibleTextTest, ScriptStyleAndCommentsAreDropped) {
  std::string page =
      "<script type=\"x\">var secret = '</p>';</script><STYLE>.secret{}</STYLE>"
      "<!-- secret --><p>shown</p><script>secret</SCRIPT >tail";
  EXPECT_EQ(find(page, "secret").result, 0);
  EXPECT_EQ(find(page, "shown").extract, "{\\b\\cf1 shown}\\par ");
  EXPECT_EQ(find(page, "tail").extract, "{\\b\\cf1 tail}\\par ");
  // A quoted ">" inside an attribute does not end the tag.
  EXPECT_EQ(find("<a title=\"a>secret\">link</a>", "secret").result, 0);
}

TEST_F(VisibleTextTest, BlockTagsMakeLinesAndInlineTagsDoNot) {
  std::string page =
      "<title>Head</title><h2>One</h2>two<br/>three<li>four<div>five</div>"
      "six<span>seven</span><table><tr><td>a</td><td>b</td></tr></table><pre>x\ny</pre>";
  std::array<std::string, 4> texts{"e", "o", "", ""};
  LibraryAnswer a = search(page, texts, {MZK11_OR, MZK11_AND, MZK11_AND}, MZK11_IGNORE_CASE);
  std::string lines = plainTextOfExtract(a.extract);
  EXPECT_EQ(lines, "Head\nOne\ntwo\nthree\nfour\nfive\nsixseven\n");
  EXPECT_EQ(a.result, 7);
  EXPECT_EQ(plainTextOfExtract(find(page, "b").extract), "a b\n");
  EXPECT_EQ(plainTextOfExtract(find(page, "y").extract), "y\n");
}

using ExtractTest = LibraryTest;

TEST_F(ExtractTest, ShowsFoundLinesOfPositiveTextsOnlyWithHighlights) {
  std::string page = "<p>red apple, green apple</p><p>no fruit</p><p>pear and apple pie</p>";
  LibraryAnswer a = search(page, {"apple", "fruit", "pear", ""}, {MZK11_NOT, MZK11_OR, MZK11_AND});
  EXPECT_EQ(a.result, 2);
  EXPECT_EQ(a.extract,
            "red {\\b\\cf1 apple}, green {\\b\\cf1 apple}\\par "
            "{\\b\\cf1 pear} and {\\b\\cf1 apple} pie\\par ");
  // Overlapping texts make one bold group.
  EXPECT_EQ(search("<p>abcdef</p>", {"bcd", "cde", "", ""}).extract, "a{\\b\\cf1 bcde}f\\par ");
}

TEST_F(ExtractTest, EscapesRtfCharactersAndNonAscii) {
  LibraryAnswer a = find("<p>{x} a\\b &eacute;&#x20AC;&#x1F600; \xFF end</p>", "end");
  EXPECT_EQ(a.extract,
            "\\{x\\} a\\\\b \\u233?\\u8364?\\u-10179?\\u-8704? \\u-3? {\\b\\cf1 end}\\par ");
  EXPECT_EQ(plainTextOfExtract(a.extract),
            "{x} a\\b \xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80 \xEF\xBF\xBD end\n");
  // A lone surrogate is a replacement character; a cut-off escape is dropped.
  EXPECT_EQ(plainTextOfExtract("\\u-10179?x\\"), "\xEF\xBF\xBDx");
}

TEST_F(ExtractTest, AtMostThirtyLines) {
  std::string page;
  for (int k = 0; k < 40; ++k) page += "<p>line " + std::to_string(k) + " hit</p>";
  LibraryAnswer a = find(page, "hit");
  EXPECT_EQ(a.result, 30);
  std::string lines = plainTextOfExtract(a.extract);
  EXPECT_TRUE(lines.starts_with("line 0 hit\nline 1 hit\n"));
  EXPECT_TRUE(lines.ends_with("line 29 hit\n"));
}

TEST_F(ExtractTest, FixedArgumentsSelectContextLineCountAndHighlight) {
  auto raw = rawFunction();
  ASSERT_NE(raw, nullptr);
  dir_.write("page.tmp", "<p>one</p><p>two</p><p>three hit</p><p>four</p><p>five hit</p>");
  std::string path = dir_.file("page.tmp");
  char buf[MZK11_RESULT_BUFFER_SIZE];
  EXPECT_EQ(raw(path.c_str(), 100, 200, "hit", 210, "", 210, "", 210, "", 1, 30, 0, buf, 0), 4);
  EXPECT_STREQ(buf, "two\\par three hit\\par four\\par five hit\\par ");
  EXPECT_EQ(raw(path.c_str(), 100, 200, "hit", 210, "", 210, "", 210, "", 0, 1, 0, buf, 0), 1);
  EXPECT_STREQ(buf, "three hit\\par ");
  // Only the first fileLength bytes are the page; a null buffer is not written.
  EXPECT_EQ(raw(path.c_str(), 20, 200, "hit", 210, "", 210, "", 210, "", 0, 30, 1, buf, 0), 0);
  EXPECT_EQ(raw(path.c_str(), 100, 200, "hit", 210, "", 210, "", 210, "", 0, 30, 1, nullptr, 0), 2);
}

using DamagedInputTest = LibraryTest;

TEST_F(DamagedInputTest, MissingOrShortFilesAndNullArguments) {
  auto raw = rawFunction();
  ASSERT_NE(raw, nullptr);
  char buf[MZK11_RESULT_BUFFER_SIZE];
  std::string missing = dir_.file("absent.tmp");
  EXPECT_EQ(raw(missing.c_str(), 10, 200, "a", 210, "", 210, "", 210, "", 0, 30, 1, buf, 0), 0);
  EXPECT_EQ(raw(nullptr, 10, 200, "a", 210, "", 210, "", 210, "", 0, 30, 1, buf, 0), 0);
  dir_.write("page.tmp", "<p>abc</p>");
  std::string path = dir_.file("page.tmp");
  // A length past the end of the file reads what is there.
  EXPECT_EQ(raw(path.c_str(), 1 << 20, 200, "abc", 210, nullptr, 210, nullptr, 210, nullptr, 0, 30,
                1, buf, 0),
            1);
  EXPECT_EQ(raw(path.c_str(), -5, 200, "abc", 210, "", 210, "", 210, "", 0, 30, 1, buf, 0), 0);
}

TEST_F(DamagedInputTest, NulBytesInvalidUtf8AndUnclosedMarkup) {
  std::string withNul = std::string("<p>before") + '\0' + "after</p>";
  EXPECT_EQ(find(withNul, "after").extract, "before {\\b\\cf1 after}\\par ");
  std::string broken = "<p>ok \xC3 \xE2\x82 \xF8\x88\x80\x80\x80 \xED\xA0\x80 \xC0\xAF fine</p>";
  EXPECT_EQ(find(broken, "fine").extract,
            "ok \\u-3? \\u-3?\\u-3? \\u-3?\\u-3?\\u-3?\\u-3?\\u-3? \\u-3?\\u-3?\\u-3? "
            "\\u-3?\\u-3? {\\b\\cf1 fine}\\par ");
  EXPECT_EQ(find("<p>seen</p><a href=\"x\" hidden", "seen").result, 1);
  EXPECT_EQ(find("<p>seen</p><a href=\"x>hidden", "hidden").result, 0);
  EXPECT_EQ(find("<p>seen</p><!-- hidden", "hidden").result, 0);
  EXPECT_EQ(find("<p>seen</p><script>hidden", "hidden").result, 0);
  EXPECT_EQ(find("a < b & c <", "a < b & c <").result, 1);
  EXPECT_EQ(find("", "a").result, 0);
}

TEST_F(DamagedInputTest, HugePageNeverPassesTheBuffer) {
  // Lines of escapes and highlights, far more than the buffer holds.
  std::string line = "<p>";
  for (int k = 0; k < 3000; ++k) line += "{\xC3\xA9} hit ";
  line += "</p>";
  std::string page;
  for (int k = 0; k < 40; ++k) page += line;
  dir_.write("page.tmp", page);
  constexpr size_t kCanary = 256;
  std::string buffer(kMatchBufferSize + kCanary, '#');
  int32_t result = matcher_.stringSearch(dir_.file("page.tmp"), static_cast<int32_t>(page.size()),
                                         MZK11_MATCH_CASE, {"hit", "", "", ""},
                                         {MZK11_AND, MZK11_AND, MZK11_AND}, buffer);
  EXPECT_GE(result, 1);
  EXPECT_EQ(buffer.size(), kMatchBufferSize + kCanary);
  EXPECT_EQ(buffer.substr(kMatchBufferSize), std::string(kCanary, '#'));
  size_t nul = buffer.find('\0');
  ASSERT_LT(nul, kMatchBufferSize);
  std::string extract = buffer.substr(0, nul);
  // A cut line still ends whole: no half escape, highlight closed, line end kept.
  EXPECT_TRUE(extract.ends_with("\\par ")) << extract.substr(extract.size() - 40);
  std::string beforeEnd = extract.substr(0, extract.size() - 5);
  EXPECT_TRUE(beforeEnd.ends_with("}") || beforeEnd.ends_with(" ") || beforeEnd.ends_with("?") ||
              beforeEnd.ends_with("\\{"))
      << beforeEnd.substr(beforeEnd.size() - 40);
  int depth = 0;
  for (size_t k = 0; k < extract.size(); ++k) {
    if (extract[k] == '\\')
      ++k;
    else if (extract[k] == '{')
      ++depth;
    else if (extract[k] == '}')
      --depth;
    ASSERT_GE(depth, 0);
  }
  EXPECT_EQ(depth, 0);
}

}  // namespace
}  // namespace quexa::testing
