// Page decoding over any bytes: the first input line is the Content-Type,
// the next byte picks an encoding to decode by directly, the rest is the
// page. Whatever comes in, the text that comes out must be valid UTF-8, and
// ASCII pages in ASCII-compatible encodings must come out unchanged.
#include <cstdlib>
#include <string>

#include "app/text.h"
#include "fuzz_input.h"
#include "net/charset.h"

namespace {

void require(bool ok) {
  if (!ok) std::abort();
}

// One label for each way of decoding and for each kind of converter.
constexpr const char* kLabels[] = {
    "utf-8",  "windows-1252", "x-user-defined", "replacement", "utf-16le",      "utf-16be",
    "koi8-r", "shift_jis",    "euc-jp",         "iso-2022-jp", "gb18030",       "big5",
    "euc-kr", "iso-8859-8-i", "windows-1258",   "ibm866",      "x-mac-cyrillic"};

bool isAscii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quexa::fuzz::FuzzInput input(data, size);
  const std::string contentType(input.takeLine(200));
  const uint8_t pick = input.takeByte();
  const std::string_view page = input.rest();

  require(quexa::isValidUtf8(quexa::decodePage(page, contentType)));

  const quexa::Encoding* encoding =
      quexa::encodingForLabel(kLabels[pick % (sizeof kLabels / sizeof kLabels[0])]);
  require(encoding != nullptr);
  const std::string text = quexa::decodeAs(page, *encoding);
  require(quexa::isValidUtf8(text));
  if (encoding->asciiCompatible && isAscii(page)) require(text == page);
  return 0;
}
