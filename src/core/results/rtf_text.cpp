#include "results/rtf_text.h"

#include <cstdint>

namespace quexa {
namespace {

// Windows-1252 0x80..0x9F; 0 where the code page leaves the byte undefined.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void appendUnicodeEscape(std::string& out, char32_t unit) {
  // RTF carries \u as a signed 16-bit number; "?" is the fallback character
  // for readers that do not know \u.
  int value = static_cast<int>(unit);
  if (value > 32767) value -= 65536;
  out += "\\u";
  out += std::to_string(value);
  out += '?';
}

}  // namespace

size_t utf8SequenceAt(std::string_view s, size_t i, char32_t& codePoint) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  unsigned char b0 = byte(i);
  if (b0 < 0x80) {
    codePoint = b0;
    return 1;
  }
  size_t length;
  char32_t cp;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    length = 2;
    cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    length = 3;
    cp = b0 & 0x0F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    length = 4;
    cp = b0 & 0x07;
  } else {
    return 0;
  }
  if (i + length > s.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    unsigned char b = byte(i + k);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  // Overlong forms, surrogates and values beyond U+10FFFF are not characters.
  if ((length == 3 && cp < 0x800) || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
      (cp >= 0xD800 && cp <= 0xDFFF))
    return 0;
  codePoint = cp;
  return length;
}

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

char32_t windows1252CodePoint(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F && kCp1252High[byte - 0x80] != 0)
    return kCp1252High[byte - 0x80];
  return byte;
}

std::string rtfEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    char c = text[i];
    if (c == '\\' || c == '{' || c == '}') {
      out += '\\';
      out += c;
      ++i;
      continue;
    }
    if (static_cast<unsigned char>(c) < 0x80) {
      out += c;
      ++i;
      continue;
    }
    char32_t cp;
    size_t length = utf8SequenceAt(text, i, cp);
    if (length == 0) {
      cp = windows1252CodePoint(static_cast<unsigned char>(c));
      length = 1;
    }
    if (cp > 0xFFFF) {
      char32_t v = cp - 0x10000;
      appendUnicodeEscape(out, 0xD800 + (v >> 10));
      appendUnicodeEscape(out, 0xDC00 + (v & 0x3FF));
    } else {
      appendUnicodeEscape(out, cp);
    }
    i += length;
  }
  return out;
}

namespace {

// Steps over the character at i and gives its UTF-16 units; a byte that
// starts no sequence counts as one character of one unit.
size_t stepUtf16(std::string_view s, size_t& i) {
  char32_t cp;
  size_t length = utf8SequenceAt(s, i, cp);
  if (length == 0) length = 1;
  i += length;
  return length == 4 ? 2 : 1;
}

}  // namespace

size_t utf16Length(std::string_view s) {
  size_t units = 0;
  for (size_t i = 0; i < s.size();) units += stepUtf16(s, i);
  return units;
}

size_t byteOffsetOfUtf16(std::string_view s, size_t units) {
  size_t counted = 0;
  size_t i = 0;
  while (i < s.size() && counted < units) counted += stepUtf16(s, i);
  return i;
}

}  // namespace quexa
