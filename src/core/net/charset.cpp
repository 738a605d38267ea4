#include "net/charset.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

#include "app/text.h"

namespace quexa {

namespace {

// Browsers look for a <meta> declaration in this many bytes only.
constexpr size_t kMetaWindow = 1024;
constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

bool isCharsetNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' ||
         c == ':';
}

// The name after "charset" in an already lower-cased text: blanks, "=",
// blanks or quotes, then the name itself.
std::string charsetAfterKeyword(std::string_view lower) {
  size_t at = 0;
  while ((at = lower.find("charset", at)) != std::string_view::npos) {
    size_t i = at + 7;
    at = i;
    while (i < lower.size() && (lower[i] == ' ' || lower[i] == '\t')) ++i;
    if (i >= lower.size() || lower[i] != '=') continue;
    ++i;
    while (i < lower.size() &&
           (lower[i] == ' ' || lower[i] == '\t' || lower[i] == '"' || lower[i] == '\''))
      ++i;
    size_t end = i;
    while (end < lower.size() && isCharsetNameChar(lower[end])) ++end;
    if (end > i) return std::string(lower.substr(i, end - i));
  }
  return "";
}

// Length of the well-formed UTF-8 sequence at s[i], or 0 when none starts there.
size_t utf8SequenceAt(std::string_view s, size_t i) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  size_t len;
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF)
    len = 2;
  else if (c >= 0xE0 && c <= 0xEF)
    len = 3;
  else if (c >= 0xF0 && c <= 0xF4)
    len = 4;
  else
    return 0;
  if (i + len > s.size()) return 0;
  return isValidUtf8(s.substr(i, len)) ? len : 0;
}

// Valid UTF-8 sequences kept, every other byte read as Windows-1252, so a
// page that mixes the two (a common fault) keeps every letter.
std::string repairUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  size_t i = 0;
  while (i < bytes.size()) {
    size_t len = utf8SequenceAt(bytes, i);
    if (len > 0) {
      out.append(bytes.substr(i, len));
      i += len;
    } else {
      out += windows1252ToUtf8(bytes.substr(i, 1));
      ++i;
    }
  }
  return out;
}

std::string userDefinedToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) {
    auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      out += c;
    } else {
      // U+F780 + (b - 0x80): three UTF-8 bytes EF, 9E|9F, 80..BF.
      unsigned cp = 0xF780u + (b - 0x80u);
      out += static_cast<char>(0xE0u | (cp >> 12));
      out += static_cast<char>(0x80u | ((cp >> 6) & 0x3Fu));
      out += static_cast<char>(0x80u | (cp & 0x3Fu));
    }
  }
  return out;
}

struct IconvHandle {
  iconv_t cd;
  explicit IconvHandle(const char* from) : cd(iconv_open("UTF-8", from)) {}
  ~IconvHandle() {
    if (ok()) iconv_close(cd);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;
  bool ok() const { return cd != reinterpret_cast<iconv_t>(-1); }
};

// Converts through iconv. An undecodable sequence becomes U+FFFD and the
// conversion goes on `unitBytes` further on; a sequence cut off at the end
// becomes one U+FFFD. False when the converter is not available.
bool iconvToUtf8(std::string_view bytes, const std::string& from, int unitBytes, std::string& out) {
  IconvHandle h(from.c_str());
  if (!h.ok()) return false;
  out.clear();
  out.resize(bytes.size() + bytes.size() / 2 + 16);
  size_t used = 0;
  char* in = const_cast<char*>(bytes.data());  // iconv's interface is not const-correct
  size_t inLeft = bytes.size();
  auto room = [&](size_t n) {
    if (out.size() - used < n) out.resize(out.size() * 2 + n);
  };
  for (;;) {
    char* outPtr = out.data() + used;
    size_t outLeft = out.size() - used;
    size_t r = inLeft > 0 ? iconv(h.cd, &in, &inLeft, &outPtr, &outLeft)
                          : iconv(h.cd, nullptr, nullptr, &outPtr, &outLeft);
    int err = errno;
    used = static_cast<size_t>(outPtr - out.data());
    if (r != static_cast<size_t>(-1)) {
      if (inLeft == 0) break;
      continue;
    }
    if (err == E2BIG) {
      out.resize(out.size() * 2);
    } else if (err == EILSEQ) {
      room(kReplacementCharacter.size());
      out.replace(used, kReplacementCharacter.size(), kReplacementCharacter);
      used += kReplacementCharacter.size();
      size_t skip = std::min(inLeft, static_cast<size_t>(unitBytes));
      in += skip;
      inLeft -= skip;
    } else {
      // EINVAL: the body ends inside a sequence.
      room(kReplacementCharacter.size());
      out.replace(used, kReplacementCharacter.size(), kReplacementCharacter);
      used += kReplacementCharacter.size();
      in += inLeft;
      inLeft = 0;
    }
  }
  out.resize(used);
  return true;
}

const Encoding& utf8Encoding() {
  return *encodingForLabel("utf-8");
}

// The page undeclared: kept when valid UTF-8, else Windows-1252.
std::string undeclared(std::string_view bytes) {
  return isValidUtf8(bytes) ? std::string(bytes) : windows1252ToUtf8(bytes);
}

}  // namespace

std::string charsetOfContentType(std::string_view contentType) {
  return charsetAfterKeyword(lowerSameLength(contentType));
}

std::string charsetOfMeta(std::string_view page) {
  std::string lower = lowerSameLength(page.substr(0, kMetaWindow));
  size_t at = 0;
  while ((at = lower.find("<meta", at)) != std::string::npos) {
    size_t close = lower.find('>', at);
    // A tag cut off by the window's end could name only part of a label.
    if (close == std::string::npos) return "";
    std::string name = charsetAfterKeyword(std::string_view(lower).substr(at, close - at));
    if (!name.empty()) return name;
    at += 5;
  }
  return "";
}

std::string decodeAs(std::string_view bytes, const Encoding& encoding) {
  if (encoding.asciiCompatible && isAsciiOnly(bytes)) return std::string(bytes);
  switch (encoding.way) {
    case DecodeWay::Utf8:
      return isValidUtf8(bytes) ? std::string(bytes) : repairUtf8(bytes);
    case DecodeWay::Windows1252:
      return windows1252ToUtf8(bytes);
    case DecodeWay::UserDefined:
      return userDefinedToUtf8(bytes);
    case DecodeWay::Replacement:
      return bytes.empty() ? std::string() : std::string(kReplacementCharacter);
    case DecodeWay::Iconv:
      break;
  }
  std::string out;
  if (iconvToUtf8(bytes, std::string(encoding.iconvName), encoding.unitBytes, out)) return out;
  // Without its converter the page is read as if it named no charset.
  return undeclared(bytes);
}

std::string decodePage(std::string_view bytes, std::string_view contentType) {
  if (startsWith(bytes, "\xEF\xBB\xBF")) return decodeAs(bytes.substr(3), utf8Encoding());
  if (startsWith(bytes, "\xFF\xFE"))
    return decodeAs(bytes.substr(2), *encodingForLabel("utf-16le"));
  if (startsWith(bytes, "\xFE\xFF"))
    return decodeAs(bytes.substr(2), *encodingForLabel("utf-16be"));
  if (const Encoding* e = encodingForLabel(charsetOfContentType(contentType)))
    return decodeAs(bytes, *e);
  if (const Encoding* e = encodingForLabel(charsetOfMeta(bytes))) {
    // A page that could read its own <meta> is not UTF-16; and a page cannot
    // ask for the private-use mapping by itself.
    if (e->unitBytes == 2) return decodeAs(bytes, utf8Encoding());
    if (e->way == DecodeWay::UserDefined) return windows1252ToUtf8(bytes);
    return decodeAs(bytes, *e);
  }
  return undeclared(bytes);
}

}  // namespace quexa
