#include "app/text.h"

#include <gtest/gtest.h>

namespace quexa {

TEST(StrForm, BlankBeforeNonNegativeMinusOtherwise) {
  EXPECT_EQ(str(3), " 3");
  EXPECT_EQ(str(0), " 0");
  EXPECT_EQ(str(-2), "-2");
  EXPECT_EQ(digits(12), "12");
}

TEST(LowerSameLength, KeepsByteLengthAndLowersLatinLetters) {
  std::string s = "HREF=\"A\xC3\x84\xC3\x97Z\xE2\x82\xAC\"";  // Ä × €
  std::string l = lowerSameLength(s);
  EXPECT_EQ(l.size(), s.size());
  EXPECT_EQ(l, "href=\"a\xC3\xA4\xC3\x97z\xE2\x82\xAC\"");
  // A stray lead byte does not hide the next letter.
  EXPECT_EQ(lowerSameLength("\xC3X\xC3"), "\xC3x\xC3");
  // Long runs are lowered eight bytes at a time: every letter and the byte
  // pairs at every position of such a run, against a byte-by-byte lowering.
  std::string all;
  for (int c = 1; c < 128; ++c) all += static_cast<char>(c);
  for (size_t at = 0; at < 9; ++at) {
    std::string mixed = all;
    mixed.insert(at * 7, "\xC3\x84\xC3");
    std::string expected = mixed;
    for (char& c : expected)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    expected.replace(at * 7, 2, "\xC3\xA4");
    EXPECT_EQ(lowerSameLength(mixed), expected) << at;
    EXPECT_TRUE(isValidUtf8(mixed.substr(0, at * 7 + 2))) << at;
    EXPECT_FALSE(isValidUtf8(mixed)) << at;  // the stray lead byte
    EXPECT_FALSE(isAsciiOnly(mixed)) << at;
    EXPECT_TRUE(isAsciiOnly(all.substr(at)));
  }
}

TEST(HeaderLine, FirstOpenBeforeFirstClose) {
  std::string name;
  EXPECT_TRUE(isHeaderLine("  [ My Sites ] ", &name));
  EXPECT_EQ(name, "My Sites");
  EXPECT_FALSE(isHeaderLine("] x [", &name));
  EXPECT_TRUE(hasBothBrackets("] x ["));
  EXPECT_TRUE(isHeaderLine("[]", &name));
  EXPECT_EQ(name, "");
}

TEST(WholeNumber, AcceptsDigitsWithBlanksOnly) {
  int64_t v = 0;
  EXPECT_TRUE(parseWholeNumber(" 45 ", v));
  EXPECT_EQ(v, 45);
  EXPECT_FALSE(parseWholeNumber("4x", v));
  EXPECT_FALSE(parseWholeNumber("", v));
  EXPECT_FALSE(parseWholeNumber("99999999999", v));
}

TEST(DataFileLine, InvalidUtf8IsReadAsWindows1252) {
  EXPECT_EQ(decodeDataFileLine("caf\xE9"), "caf\xC3\xA9");
  EXPECT_EQ(decodeDataFileLine("\x80"), "\xE2\x82\xAC");
  EXPECT_EQ(decodeDataFileLine("caf\xC3\xA9"), "caf\xC3\xA9");
}

}  // namespace quexa
