#include "results/entry_lookup.h"

#include "app/text.h"
#include "results/rtf_text.h"

namespace quexa {
namespace {

constexpr std::string_view kFiveBlanks = "     ";

// The second character of rest (a whole UTF-8 character), or empty.
std::string_view secondCharacter(std::string_view rest) {
  size_t i = 0;
  for (int k = 0; k < 2 && i < rest.size(); ++k) {
    char32_t cp;
    size_t length = utf8SequenceAt(rest, i, cp);
    if (length == 0) length = 1;
    if (k == 1) return rest.substr(i, length);
    i += length;
  }
  return {};
}

// A site entry reads "http...", so its second character is "t"; the URL
// ends at the first five blanks.
bool readSiteEntryUrl(std::string_view rest, std::string& url) {
  if (secondCharacter(rest) != "t") return false;
  size_t end = rest.find(kFiveBlanks);
  if (end == std::string_view::npos) return false;
  url = std::string(rest.substr(0, end));
  return true;
}

// A hit entry holds "(" URL ")" and five blanks after its title.
bool readHitEntryUrl(std::string_view rest, std::string& url) {
  size_t open = rest.find("(http");
  if (open == std::string_view::npos) return false;
  std::string_view after = rest.substr(open + 5);
  size_t end = after.find(")     ");
  if (end == std::string_view::npos) return false;
  url = "http" + std::string(after.substr(0, end));
  return true;
}

}  // namespace

std::string pickEntryUrl(std::string_view plainText, size_t caret, EntryLayout layout,
                         std::string_view selectedPageUrl) {
  std::string url(selectedPageUrl);
  const size_t caretByte = byteOffsetOfUtf16(plainText, caret);
  int64_t k = 1;
  std::string pattern = digits(k) + ". ";
  size_t p = plainText.find(pattern);
  // Entry 1 is visited whatever the caret; entry k only when its number
  // starts before the caret.
  bool visit = p != std::string_view::npos;
  while (visit) {
    std::string_view rest = plainText.substr(p + pattern.size());
    if (layout == EntryLayout::Site)
      readSiteEntryUrl(rest, url);
    else
      readHitEntryUrl(rest, url);
    ++k;
    pattern = digits(k) + ". ";
    p = plainText.find(pattern, p);
    visit = p != std::string_view::npos && p < caretByte;
  }
  return url;
}

}  // namespace quexa
