#include "net/page_charset.h"

#include "app/text.h"

namespace quexa {

namespace {

constexpr size_t kMetaWindow = 4096;

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

bool isWindows1252Family(std::string_view cs) {
  return cs == "iso-8859-1" || cs == "iso8859-1" || cs == "iso_8859-1" || cs == "latin1" ||
         cs == "latin-1" || cs == "l1" || cs == "windows-1252" || cs == "cp1252" ||
         cs == "x-cp1252" || cs == "us-ascii" || cs == "ascii" || cs == "cp819" || cs == "ibm819";
}

bool isUtf8Name(std::string_view cs) {
  return cs == "utf-8" || cs == "utf8";
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
    std::string_view tag = std::string_view(lower).substr(
        at, close == std::string::npos ? std::string::npos : close - at);
    std::string name = charsetAfterKeyword(tag);
    if (!name.empty()) return name;
    at += 5;
  }
  return "";
}

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

std::string decodePage(std::string_view bytes, std::string_view contentType) {
  std::string charset = charsetOfContentType(contentType);
  if (charset.empty()) charset = charsetOfMeta(bytes);
  if (isWindows1252Family(charset)) return windows1252ToUtf8(bytes);
  if (isUtf8Name(charset)) return isValidUtf8(bytes) ? std::string(bytes) : repairUtf8(bytes);
  return isValidUtf8(bytes) ? std::string(bytes) : windows1252ToUtf8(bytes);
}

}  // namespace quexa
