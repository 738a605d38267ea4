#include "fold_case.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "utf8.h"

namespace mzk11 {

namespace {

// The fold of every character of the Basic Multilingual Plane, asked of ICU
// once per process: one look-up per character then costs a load instead of
// a call into the character database. Folds of BMP characters stay in the
// BMP; the few cased characters beyond it are asked of ICU each time.
struct FoldTable {
  std::unique_ptr<char16_t[]> bmp;
  // Per block of 1,024 BMP characters: none of them folds (the CJK
  // ideographs, kana and Hangul syllables), so they are copied unread.
  std::array<bool, 64> uncased{};
};

const FoldTable& foldTable() {
  static const FoldTable table = [] {
    FoldTable t;
    t.bmp = std::make_unique<char16_t[]>(0x10000);
    t.uncased.fill(true);
    for (UChar32 c = 0; c < 0x10000; ++c) {
      const UChar32 f = u_foldCase(c, U_FOLD_CASE_DEFAULT);
      t.bmp[c] = static_cast<char16_t>(f < 0x10000 ? f : c);
      if (t.bmp[c] != c) t.uncased[c >> 10] = false;
    }
    return t;
  }();
  return table;
}

char32_t simpleFold(char32_t cp, const FoldTable& t) {
  if (cp < 0x10000) return t.bmp[cp];
  return static_cast<char32_t>(u_foldCase(static_cast<UChar32>(cp), U_FOLD_CASE_DEFAULT));
}

bool isContinuation(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The most bytes the fold of `n` bytes takes: a two-byte letter may fold to
// a three-byte one, nothing grows more.
size_t foldCapacity(size_t n) {
  return n + n / 2 + 1;
}

// Folds `in` into `out` (foldCapacity(n) bytes) and returns the folded length.
size_t foldInto(const char* in, size_t n, char* out, std::vector<PositionMap::Shift>& shifts) {
  const FoldTable& t = foldTable();
  size_t i = 0;
  size_t o = 0;
  while (i < n) {
    const auto c = static_cast<unsigned char>(in[i]);
    if (c < 0x80) {
#if defined(__SSE2__)
      if (n - i >= 16 && static_cast<signed char>(in[i + 1]) >= 0) {
        // Sixteen bytes folded at once; of a block that holds other bytes
        // only the ASCII ones before the first other byte are kept (the rest
        // is written over next).
        do {
          __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
          __m128i upper = _mm_and_si128(_mm_cmpgt_epi8(v, _mm_set1_epi8('A' - 1)),
                                        _mm_cmplt_epi8(v, _mm_set1_epi8('Z' + 1)));
          v = _mm_add_epi8(v, _mm_and_si128(upper, _mm_set1_epi8(0x20)));
          _mm_storeu_si128(reinterpret_cast<__m128i*>(out + o), v);
          const auto others = static_cast<unsigned>(_mm_movemask_epi8(v));
          if (others != 0) {
            const auto ascii = static_cast<size_t>(__builtin_ctz(others));
            i += ascii;
            o += ascii;
            break;
          }
          i += 16;
          o += 16;
        } while (n - i >= 16);
        continue;
      }
#endif
      out[o++] = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
      ++i;
      continue;
    }
    if (c >= 0xC2 && c <= 0xDF && i + 1 < n && isContinuation(in[i + 1])) {
      // The two-byte letters (Latin, Greek, Cyrillic, Armenian, ...) mostly
      // fold to two-byte letters.
      const char32_t cp = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(in[i + 1]) & 0x3Fu);
      const char32_t folded = t.bmp[cp];
      if (folded >= 0x80 && folded < 0x800) {
        out[o] = static_cast<char>(0xC0 | (folded >> 6));
        out[o + 1] = static_cast<char>(0x80 | (folded & 0x3F));
        o += 2;
        i += 2;
        continue;
      }
    } else if (c >= 0xE1 && c <= 0xEF && c != 0xED && i + 2 < n && isContinuation(in[i + 1]) &&
               isContinuation(in[i + 2]) &&
               t.uncased[((c & 0x0Fu) << 2) |
                         ((static_cast<unsigned char>(in[i + 1]) & 0x3Fu) >> 4)]) {
      out[o] = in[i];
      out[o + 1] = in[i + 1];
      out[o + 2] = in[i + 2];
      o += 3;
      i += 3;
      continue;
    }
    char32_t cp = 0;
    const size_t length = decodeUtf8(in + i, n - i, cp);
    if (length == 0) {  // not UTF-8: kept for matching as it is
      out[o++] = static_cast<char>(c);
      ++i;
      continue;
    }
    const char32_t folded = simpleFold(cp, t);
    if (folded == cp) {
      std::memcpy(out + o, in + i, length);
      o += length;
    } else {
      const size_t foldedLength = encodeUtf8(folded, out + o);
      o += foldedLength;
      if (foldedLength != length) shifts.push_back({o, i + length});
    }
    i += length;
  }
  return o;
}

}  // namespace

size_t PositionMap::toPage(size_t folded) const {
  auto after = std::upper_bound(shifts.begin(), shifts.end(), folded,
                                [](size_t p, const Shift& s) { return p < s.folded; });
  // A position inside a character whose length changed stays inside it.
  const size_t from = after == shifts.begin() ? 0 : (after - 1)->page;
  const size_t base = after == shifts.begin() ? 0 : (after - 1)->folded;
  const size_t at = from + (folded - base);
  return after == shifts.end() ? at : std::min(at, after->page);
}

size_t PositionMap::toFolded(size_t page) const {
  auto after = std::upper_bound(shifts.begin(), shifts.end(), page,
                                [](size_t p, const Shift& s) { return p < s.page; });
  const size_t from = after == shifts.begin() ? 0 : (after - 1)->folded;
  const size_t base = after == shifts.begin() ? 0 : (after - 1)->page;
  const size_t at = from + (page - base);
  return after == shifts.end() ? at : std::min(at, after->folded);
}

FoldedText foldPage(std::string_view text) {
  FoldedText f;
  f.bytes = allocateTextBytes(foldCapacity(text.size()));
  const size_t length = foldInto(text.data(), text.size(), f.bytes.get(), f.positions.shifts);
  f.text = std::string_view(f.bytes.get(), length);
  return f;
}

std::string foldText(std::string_view text) {
  std::string out(foldCapacity(text.size()), '\0');
  std::vector<PositionMap::Shift> shifts;
  out.resize(foldInto(text.data(), text.size(), out.data(), shifts));
  return out;
}

}  // namespace mzk11
