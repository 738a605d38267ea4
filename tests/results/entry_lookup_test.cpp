// The View command's lookup over the all-results pane's plain text, as the
// pane shows it after a search.
#include "results/entry_lookup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "results/documents.h"
#include "results/rtf_reader.h"
#include "results/rtf_text.h"

namespace quexa {
namespace {

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

class SiteEntries : public ::testing::Test {
 protected:
  const std::string text = paneText({
      siteEntry(1, "http://one.com/", matchingBody("first page, see 2. below\\par ")),
      siteEntry(2, "http://two.com/a", matchingBody("second\\par ")),
      siteEntry(3, "http://three.com/", serverErrorBody()),
  });
  std::string pick(size_t caret, std::string_view selected = "") {
    return pickEntryUrl(text, caret, EntryLayout::Site, selected);
  }
};

TEST_F(SiteEntries, TheCaretReadsTheEntryItStandsIn) {
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
}

TEST(SiteEntryLookup, UnreadableTextKeepsTheEarlierSelection) {
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

class HitEntries : public ::testing::Test {
 protected:
  const std::string text = paneText({
      engineHeading("Yahoo!", false),
      hitEntry(1, "First hit", "http://one.com/", "see 2. below for more"),
      hitEntry(2, "Second hit", "http://two.com/", "two"),
      engineHeading("Lycos", true),
      hitEntry(3, "Third (hit)", "http://three.com/x", ""),
  });
  std::string pick(size_t caret, std::string_view selected = "") {
    return pickEntryUrl(text, caret, EntryLayout::Hit, selected);
  }
};

TEST_F(HitEntries, CaretBeforeInsideAndAfter) {
  EXPECT_EQ(pick(0), "http://one.com/");
  EXPECT_EQ(pick(caretInside(text, "First hit")), "http://one.com/");
  EXPECT_EQ(pick(caretInside(text, "Second hit")), "http://two.com/");
  EXPECT_EQ(pick(caretInside(text, "Lycos")), "http://two.com/");
  EXPECT_EQ(pick(caretInside(text, "Third")), "http://three.com/x");
  EXPECT_EQ(pick(utf16Length(text)), "http://three.com/x");
  // After "see 2. " in a description the first "(http" is entry 2's URL.
  EXPECT_EQ(pick(caretInside(text, "2. below")), "http://two.com/");
}

TEST(HitEntryLookup, UrlNeedsItsClosingParenthesisAndFiveBlanks) {
  EXPECT_EQ(pickEntryUrl("1. T\n(http://a)    \n", 0, EntryLayout::Hit, "keep"), "keep");
  EXPECT_EQ(pickEntryUrl("1. T\n(ftp://a)     \n", 0, EntryLayout::Hit, "keep"), "keep");
  EXPECT_EQ(pickEntryUrl("1. T\n(http://a)     \n", 0, EntryLayout::Hit, "keep"), "http://a");
}

}  // namespace
}  // namespace quexa
