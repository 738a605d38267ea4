// Character references of a page: "&name;", "&#N;" and "&#xN;".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace mzk11 {

struct DecodedEntity {
  char32_t codePoint = 0;
  size_t length = 0;  // bytes taken from the page, 0 when no reference starts here
};

// Decodes the reference that starts at the "&" at the front of `rest`.
// Numeric references may lack their ";"; named ones need it. A code of 0, a
// surrogate or a code past U+10FFFF gives U+FFFD.
DecodedEntity decodeEntity(std::string_view rest);

// Appends the UTF-8 form of a code point to `out` (at most four bytes) and
// returns how many bytes it wrote.
size_t encodeUtf8(char32_t cp, char* out);

}  // namespace mzk11
