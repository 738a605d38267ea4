// One UTF-8 character at a time, for the fold and the extract.
#pragma once

#include <cstddef>
#include <cstdint>

namespace mzk11 {

// The length (1-4) of the valid UTF-8 character at `s` (of `n` > 0 bytes)
// and its code point; 0 when `s` starts no valid character (stray
// continuation, overlong form, surrogate, beyond U+10FFFF, cut short).
inline size_t decodeUtf8(const char* s, size_t n, char32_t& cp) {
  auto b = [s](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = b(0);
  if (c < 0x80) {
    cp = c;
    return 1;
  }
  auto cont = [&](size_t k, unsigned char lo, unsigned char hi) {
    return k < n && b(k) >= lo && b(k) <= hi;
  };
  if (c >= 0xC2 && c <= 0xDF) {
    if (!cont(1, 0x80, 0xBF)) return 0;
    cp = ((c & 0x1Fu) << 6) | (b(1) & 0x3Fu);
    return 2;
  }
  if (c >= 0xE0 && c <= 0xEF) {
    const unsigned char lo = c == 0xE0 ? 0xA0 : 0x80;
    const unsigned char hi = c == 0xED ? 0x9F : 0xBF;
    if (!cont(1, lo, hi) || !cont(2, 0x80, 0xBF)) return 0;
    cp = ((c & 0x0Fu) << 12) | ((b(1) & 0x3Fu) << 6) | (b(2) & 0x3Fu);
    return 3;
  }
  if (c >= 0xF0 && c <= 0xF4) {
    const unsigned char lo = c == 0xF0 ? 0x90 : 0x80;
    const unsigned char hi = c == 0xF4 ? 0x8F : 0xBF;
    if (!cont(1, lo, hi) || !cont(2, 0x80, 0xBF) || !cont(3, 0x80, 0xBF)) return 0;
    cp = ((c & 0x07u) << 18) | ((b(1) & 0x3Fu) << 12) | ((b(2) & 0x3Fu) << 6) | (b(3) & 0x3Fu);
    return 4;
  }
  return 0;
}

// Writes the code point (a valid one, not a surrogate) and returns its length.
inline size_t encodeUtf8(char32_t cp, char* out) {
  auto put = [out](size_t k, char32_t v) { out[k] = static_cast<char>(v); };
  if (cp < 0x80) {
    put(0, cp);
    return 1;
  }
  if (cp < 0x800) {
    put(0, 0xC0 | (cp >> 6));
    put(1, 0x80 | (cp & 0x3F));
    return 2;
  }
  if (cp < 0x10000) {
    put(0, 0xE0 | (cp >> 12));
    put(1, 0x80 | ((cp >> 6) & 0x3F));
    put(2, 0x80 | (cp & 0x3F));
    return 3;
  }
  put(0, 0xF0 | (cp >> 18));
  put(1, 0x80 | ((cp >> 12) & 0x3F));
  put(2, 0x80 | ((cp >> 6) & 0x3F));
  put(3, 0x80 | (cp & 0x3F));
  return 4;
}

}  // namespace mzk11
