// Text that goes into or comes out of the result documents: escaping for
// RTF, and the UTF-8 / UTF-16 arithmetic the panes and the View command need.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quexa {

// Text taken from pages (URLs, titles, descriptions) made safe inside an RTF
// group: "\" "{" "}" escaped, every non-ASCII character as \uN? (N signed
// 16-bit, a surrogate pair above U+FFFF). Bytes that are not valid UTF-8 are
// read as Windows-1252. ASCII without the three special characters comes
// back byte for byte.
std::string rtfEscape(std::string_view text);

// The code point of the valid UTF-8 sequence at s[i] and its length, or 0
// when s[i] does not start one.
size_t utf8SequenceAt(std::string_view s, size_t i, char32_t& codePoint);
void appendUtf8(std::string& out, char32_t codePoint);
// One Windows-1252 byte as a code point (undefined bytes keep their value).
char32_t windows1252CodePoint(unsigned char byte);

// The number of UTF-16 code units (the unit a Qt text cursor counts in) in
// s; invalid bytes count one unit each.
size_t utf16Length(std::string_view s);
// The byte offset in s of UTF-16 unit `units`; a position inside a surrogate
// pair rounds up to the end of its character, a position beyond the end
// gives s.size().
size_t byteOffsetOfUtf16(std::string_view s, size_t units);

}  // namespace quexa
