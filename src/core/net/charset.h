// Turns the bytes of a fetched page into UTF-8 text the way a browser reads
// them: a byte-order mark first, then the Content-Type header's charset, then
// a <meta> in the first 1,024 bytes, then UTF-8 when the bytes are valid
// UTF-8, else Windows-1252.
//
// Thread safety: every function here is pure. Nothing is shared between
// calls (each decode opens its own converter), so any number of threads may
// call them at once.
#pragma once

#include <string>
#include <string_view>

namespace quexa {

// How the bytes of an encoding become text.
enum class DecodeWay {
  Utf8,         // kept when valid; otherwise repaired
  Windows1252,  // the program's own Windows-1252 table
  Iconv,        // through iconv under `iconvName`
  UserDefined,  // x-user-defined: high bytes to U+F780..U+F7FF
  Replacement,  // the whole page is one U+FFFD
};

struct Encoding {
  std::string_view name;       // the standard name, "Shift_JIS"
  std::string_view iconvName;  // the converter's name for it; "" unless DecodeWay::Iconv
  DecodeWay way;
  int unitBytes;         // bytes skipped after an undecodable sequence (2 for UTF-16)
  bool asciiCompatible;  // bytes below 0x80 are always the ASCII characters
};

// The encoding a label names ("latin2", " X-SJIS ", "ks_c_5601-1987"):
// blanks around it and letter case do not count. nullptr when it names none.
const Encoding* encodingForLabel(std::string_view label);

// The charset named by a Content-Type value ("text/html; charset=ISO-8859-1"),
// lower-cased and without quotes; "" when it names none.
std::string charsetOfContentType(std::string_view contentType);

// The charset of a <meta charset=..> or <meta http-equiv=.. content="..;
// charset=.."> that ends within the first 1,024 bytes of the page; "" when
// there is none.
std::string charsetOfMeta(std::string_view page);

// The bytes decoded as `encoding`. Bytes that cannot be decoded (and a
// sequence cut off at the end) become U+FFFD; nothing is dropped.
std::string decodeAs(std::string_view bytes, const Encoding& encoding);

// The page as UTF-8, its encoding found in the order told above. An unknown
// label counts as none. A page declared UTF-8 but not valid UTF-8 keeps its
// valid sequences and reads each stray byte as Windows-1252.
std::string decodePage(std::string_view bytes, std::string_view contentType);

}  // namespace quexa
