#include "app/text.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>

namespace quexa {

namespace {

constexpr uint64_t kHighBits = 0x8080808080808080ULL;
constexpr uint64_t kEachByte = 0x0101010101010101ULL;

// Eight bytes at a time while they are all ASCII: pages are mostly ASCII.
bool eightAscii(std::string_view s, size_t i, uint64_t& word) {
  if (s.size() - i < 8) return false;
  std::memcpy(&word, s.data() + i, 8);
  return (word & kHighBits) == 0;
}

// 'A'..'Z' of eight ASCII bytes made lower case.
uint64_t lowerEightAscii(uint64_t word) {
  const uint64_t atLeastA = word + kEachByte * (0x80 - 'A');
  const uint64_t beyondZ = word + kEachByte * (0x80 - 'Z' - 1);
  const uint64_t upper = atLeastA & ~beyondZ & kHighBits;
  return word | (upper >> 2);
}

}  // namespace

std::string str(int64_t n) {
  return n < 0 ? std::to_string(n) : " " + std::to_string(n);
}

std::string digits(int64_t n) {
  return std::to_string(n);
}

std::string ltrim(std::string_view s) {
  size_t b = 0;
  while (b < s.size() && s[b] == ' ') ++b;
  return std::string(s.substr(b));
}

std::string rtrim(std::string_view s) {
  size_t e = s.size();
  while (e > 0 && s[e - 1] == ' ') --e;
  return std::string(s.substr(0, e));
}

std::string trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && s[b] == ' ') ++b;
  while (e > b && s[e - 1] == ' ') --e;
  return std::string(s.substr(b, e - b));
}

void lowerSameLengthInPlace(std::string& s) {
  const size_t n = s.size();
  for (size_t i = 0; i < n; ++i) {
    uint64_t word;
    while (eightAscii(s, i, word)) {
      word = lowerEightAscii(word);
      std::memcpy(s.data() + i, &word, 8);
      i += 8;
    }
    if (i >= n) break;
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c >= 'A' && c <= 'Z') {
      s[i] = static_cast<char>(c + 32);
    } else if (c == 0xC3 && i + 1 < n && (static_cast<unsigned char>(s[i + 1]) & 0xC0) == 0x80) {
      unsigned char d = static_cast<unsigned char>(s[i + 1]);
      // U+00C0..U+00DE are C3 80..C3 9E; U+00D7 (C3 97) is the multiplication sign.
      if (d >= 0x80 && d <= 0x9E && d != 0x97) s[i + 1] = static_cast<char>(d + 0x20);
      ++i;
    }
  }
}

std::string lowerSameLength(std::string_view s) {
  std::string r(s);
  lowerSameLengthInPlace(r);
  return r;
}

bool parseWholeNumber(std::string_view s, int64_t& out) {
  std::string t = trim(s);
  std::string_view v = t;
  if (!v.empty() && v.front() == '+') v.remove_prefix(1);
  if (v.empty()) return false;
  int64_t value = 0;
  auto [p, ec] = std::from_chars(v.data(), v.data() + v.size(), value);
  if (ec != std::errc() || p != v.data() + v.size()) return false;
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
    return false;
  out = value;
  return true;
}

bool isHeaderLine(std::string_view line, std::string* name) {
  size_t open = line.find('[');
  size_t close = line.find(']');
  if (open == std::string_view::npos || close == std::string_view::npos || open > close)
    return false;
  if (name) *name = trim(line.substr(open + 1, close - open - 1));
  return true;
}

bool hasBothBrackets(std::string_view line) {
  return line.find('[') != std::string_view::npos && line.find(']') != std::string_view::npos;
}

bool contains(std::string_view haystack, std::string_view needle) {
  return haystack.find(needle) != std::string_view::npos;
}

bool startsWith(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}

namespace {
void appendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Windows-1252 code points for 0x80..0x9F; 0 where the code page has none
// (those bytes map to the C1 control of the same number).
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
}  // namespace

std::string latin1ToUtf8(std::string_view latin1) {
  std::string out;
  out.reserve(latin1.size());
  for (unsigned char c : latin1) appendUtf8(out, c);
  return out;
}

bool utf8ToLatin1(std::string_view utf8, std::string& out) {
  out.clear();
  for (size_t i = 0; i < utf8.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size() &&
               (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80) {
      out +=
          static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F));
      ++i;
    } else {
      return false;
    }
  }
  return true;
}

bool isAsciiOnly(std::string_view s) {
  size_t i = 0;
  uint64_t word;
  while (eightAscii(s, i, word)) i += 8;
  for (; i < s.size(); ++i)
    if (static_cast<unsigned char>(s[i]) >= 0x80) return false;
  return true;
}

bool isValidUtf8(std::string_view s) {
  size_t i = 0;
  const size_t n = s.size();
  while (i < n) {
    uint64_t word;
    if (eightAscii(s, i, word)) {
      i += 8;
      continue;
    }
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    int len;
    uint32_t cp;
    if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
      cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      cp = c & 0x07;
    } else {
      return false;
    }
    if (i + len > n) return false;
    for (int k = 1; k < len; ++k) {
      unsigned char d = static_cast<unsigned char>(s[i + k]);
      if ((d & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (d & 0x3F);
    }
    if ((len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
        (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
      return false;
    i += len;
  }
  return true;
}

std::string windows1252ToUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size() + s.size() / 4);
  for (unsigned char c : s) {
    if (c >= 0x80 && c <= 0x9F && kCp1252High[c - 0x80] != 0)
      appendUtf8(out, kCp1252High[c - 0x80]);
    else
      appendUtf8(out, c);
  }
  return out;
}

std::string decodeDataFileLine(std::string_view raw) {
  return isValidUtf8(raw) ? std::string(raw) : windows1252ToUtf8(raw);
}

}  // namespace quexa
