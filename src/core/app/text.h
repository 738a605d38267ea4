// Small text helpers shared by every subsystem. Text is UTF-8 in std::string.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quexa {

// The Str() form of a number: one blank before a non-negative number, the
// minus sign in its place otherwise. " 3", "-2".
std::string str(int64_t n);
// The digits alone (Str() without its leading blank).
std::string digits(int64_t n);

// Blanks (' ' only) removed at the start, the end, or both.
std::string ltrim(std::string_view s);
std::string rtrim(std::string_view s);
std::string trim(std::string_view s);

// Lower-cases without changing the byte length: ASCII always, and the
// two-byte UTF-8 letters U+00C0..U+00DE (not U+00D7) to U+00E0..U+00FE.
// Positions found in the result are valid positions in the input.
std::string lowerSameLength(std::string_view s);
void lowerSameLengthInPlace(std::string& s);

// Whole-number conversion of a text box, as the searches read the numeric
// settings: optional blanks, an optional sign, digits, optional blanks.
// Returns false for anything else (empty, letters, out of 32-bit range).
bool parseWholeNumber(std::string_view s, int64_t& out);

// A line of a sectioned file counts as a header when it holds both "[" and
// "]" with the first "[" before the first "]"; name is the trimmed text
// between them.
bool isHeaderLine(std::string_view line, std::string* name = nullptr);
// Both brackets somewhere in the line, in any order.
bool hasBothBrackets(std::string_view line);

bool contains(std::string_view haystack, std::string_view needle);
bool startsWith(std::string_view s, std::string_view prefix);

// Latin-1 (one byte a character) <-> UTF-8. toLatin1 returns false when a
// character has no single-byte code or the input is not valid UTF-8.
std::string latin1ToUtf8(std::string_view latin1);
bool utf8ToLatin1(std::string_view utf8, std::string& out);

// Text read from a data file: kept when valid UTF-8, otherwise taken as
// Windows-1252 and converted to UTF-8.
bool isValidUtf8(std::string_view s);
// No byte above 127.
bool isAsciiOnly(std::string_view s);
std::string windows1252ToUtf8(std::string_view s);
std::string decodeDataFileLine(std::string_view raw);

}  // namespace quexa
