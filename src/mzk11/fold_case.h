// Lower-casing for case mode 201 that keeps every byte where it was, so a
// position found in the lower-cased page is the same position in the page.
#pragma once

#include <cstddef>
#include <string>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace mzk11 {

// ASCII letters, and the two-byte letters U+00C0..U+00DE except U+00D7.
// `out` may be `in`.
inline void foldCase(const char* in, size_t n, char* out) {
  size_t i = 0;
  while (i < n) {
#if defined(__SSE2__)
    if (n - i >= 16) {
      __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
      if (_mm_movemask_epi8(v) == 0) {  // sixteen ASCII bytes at once
        __m128i upper = _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8('A' - 1)),
                                      _mm_cmplt_epi8(v, _mm_set1_epi8('Z' + 1)));
        v = _mm_add_epi8(v, _mm_and_si128(upper, _mm_set1_epi8(0x20)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), v);
        i += 16;
        continue;
      }
    }
#endif
    unsigned char c = static_cast<unsigned char>(in[i]);
    if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c + 32);
    out[i] = static_cast<char>(c);
    if (c == 0xC3 && i + 1 < n) {
      unsigned char d = static_cast<unsigned char>(in[i + 1]);
      if (d >= 0x80 && d <= 0x9E && d != 0x97) d = static_cast<unsigned char>(d + 0x20);
      out[i + 1] = static_cast<char>(d);
      ++i;
    }
    ++i;
  }
}

inline void foldCaseInPlace(std::string& s) {
  foldCase(s.data(), s.size(), s.data());
}

}  // namespace mzk11
