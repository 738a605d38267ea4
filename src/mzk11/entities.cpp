#include "entities.h"

#include <array>

namespace mzk11 {

namespace {

struct NamedEntity {
  std::string_view name;
  char32_t codePoint;
};

// The frequent ones first: the table is searched from its start.
constexpr NamedEntity kNamedEntities[] = {
    {"nbsp", 0xA0},    {"amp", '&'},      {"lt", '<'},        {"gt", '>'},       {"quot", '"'},
    {"apos", '\''},    {"AMP", '&'},      {"LT", '<'},        {"GT", '>'},       {"QUOT", '"'},
    {"euro", 0x20AC},  {"ndash", 0x2013}, {"mdash", 0x2014},  {"lsquo", 0x2018}, {"rsquo", 0x2019},
    {"ldquo", 0x201C}, {"rdquo", 0x201D}, {"hellip", 0x2026}, {"bull", 0x2022},  {"trade", 0x2122},
};

// The Latin-1 names, U+00A1 to U+00FF in code order.
constexpr std::array<std::string_view, 95> kLatin1Names = {
    "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",
    "ordf",   "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn", "sup2",
    "sup3",   "acute",  "micro",  "para",   "middot", "cedil",  "sup1",   "ordm",   "raquo",
    "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc",  "Atilde", "Auml",
    "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",   "Igrave", "Iacute",
    "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",
    "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",  "szlig",
    "agrave", "aacute", "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil", "egrave",
    "eacute", "ecirc",  "euml",   "igrave", "iacute", "icirc",  "iuml",   "eth",    "ntilde",
    "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide", "oslash", "ugrave", "uacute",
    "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};

constexpr char32_t kReplacement = 0xFFFD;
constexpr size_t kLongestName = 6;
constexpr int kMostDigits = 8;

bool isAsciiAlnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int digitValue(char c, bool hex) {
  if (c >= '0' && c <= '9') return c - '0';
  if (!hex) return -1;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

char32_t validCodePoint(uint32_t v) {
  if (v == 0 || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) return kReplacement;
  return v;
}

DecodedEntity decodeNumeric(std::string_view rest) {
  size_t i = 2;  // after "&#"
  bool hex = i < rest.size() && (rest[i] == 'x' || rest[i] == 'X');
  if (hex) ++i;
  uint32_t value = 0;
  int count = 0;
  for (; i < rest.size(); ++i) {
    int d = digitValue(rest[i], hex);
    if (d < 0) break;
    if (++count > kMostDigits) return {};
    value = value * (hex ? 16 : 10) + static_cast<uint32_t>(d);
  }
  if (count == 0) return {};
  if (i < rest.size() && rest[i] == ';') ++i;
  return {validCodePoint(value), i};
}

char32_t namedCodePoint(std::string_view name) {
  for (const auto& e : kNamedEntities)
    if (e.name == name) return e.codePoint;
  for (size_t k = 0; k < kLatin1Names.size(); ++k)
    if (kLatin1Names[k] == name) return static_cast<char32_t>(0xA1 + k);
  return 0;
}

DecodedEntity decodeNamed(std::string_view rest) {
  size_t i = 1;
  while (i < rest.size() && i <= kLongestName && isAsciiAlnum(rest[i])) ++i;
  if (i == 1 || i >= rest.size() || rest[i] != ';') return {};
  char32_t cp = namedCodePoint(rest.substr(1, i - 1));
  if (cp == 0) return {};
  return {cp, i + 1};
}

}  // namespace

DecodedEntity decodeEntity(std::string_view rest) {
  if (rest.size() < 2 || rest[0] != '&') return {};
  return rest[1] == '#' ? decodeNumeric(rest) : decodeNamed(rest);
}

size_t encodeUtf8(char32_t cp, char* out) {
  if (cp < 0x80) {
    out[0] = static_cast<char>(cp);
    return 1;
  }
  if (cp < 0x800) {
    out[0] = static_cast<char>(0xC0 | (cp >> 6));
    out[1] = static_cast<char>(0x80 | (cp & 0x3F));
    return 2;
  }
  if (cp < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (cp >> 12));
    out[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (cp & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (cp >> 18));
  out[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (cp & 0x3F));
  return 4;
}

}  // namespace mzk11
