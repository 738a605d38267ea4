#include "match/extract_text.h"

#include <cstdint>

#include "results/rtf_text.h"

namespace quexa {

namespace {

bool isLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// Joins UTF-16 units from "\uN?" into characters; a lone surrogate is U+FFFD.
class Utf16Joiner {
 public:
  explicit Utf16Joiner(std::string& out) : out_(out) {}
  void unit(uint16_t u) {
    if (u >= 0xD800 && u <= 0xDBFF) {
      flush();
      high_ = u;
      return;
    }
    if (u >= 0xDC00 && u <= 0xDFFF) {
      if (high_) {
        appendUtf8(out_, 0x10000 + ((char32_t(high_) - 0xD800) << 10) + (u - 0xDC00));
        high_ = 0;
      } else {
        appendUtf8(out_, 0xFFFD);
      }
      return;
    }
    flush();
    appendUtf8(out_, u);
  }
  void flush() {
    if (high_) appendUtf8(out_, 0xFFFD);
    high_ = 0;
  }

 private:
  std::string& out_;
  uint16_t high_ = 0;
};

}  // namespace

std::string plainTextOfExtract(std::string_view rtf) {
  std::string out;
  Utf16Joiner joiner(out);
  size_t i = 0;
  while (i < rtf.size()) {
    char c = rtf[i];
    if (c == '{' || c == '}' || c == '\r' || c == '\n') {
      ++i;
      continue;
    }
    if (c != '\\') {
      joiner.flush();
      out += c;
      ++i;
      continue;
    }
    if (i + 1 >= rtf.size()) break;
    char next = rtf[i + 1];
    if (!isLetter(next)) {  // a control symbol: "\\", "\{", "\}", "\'hh", ...
      joiner.flush();
      if (next == '\\' || next == '{' || next == '}') out += next;
      i += 2;
      continue;
    }
    size_t j = i + 1;
    while (j < rtf.size() && isLetter(rtf[j])) ++j;
    std::string_view word = rtf.substr(i + 1, j - i - 1);
    bool negative = j < rtf.size() && rtf[j] == '-';
    if (negative) ++j;
    long number = 0;
    bool hasNumber = false;
    for (; j < rtf.size() && isDigit(rtf[j]); ++j) {
      hasNumber = true;
      if (number < 0x10000) number = number * 10 + (rtf[j] - '0');
    }
    if (j < rtf.size() && rtf[j] == ' ') ++j;  // the delimiter belongs to the word
    if (word == "par") {
      joiner.flush();
      out += '\n';
    } else if (word == "u" && hasNumber) {
      long v = negative ? 0x10000 - number : number;
      joiner.unit(static_cast<uint16_t>(v));
      if (j < rtf.size() && rtf[j] != '\\' && rtf[j] != '{' && rtf[j] != '}') ++j;  // fallback
    }
    i = j;
  }
  joiner.flush();
  return out;
}

}  // namespace quexa
