#include "match/standard_links.h"

#include <libxml/HTMLparser.h>
#include <libxml/parser.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>

#include "app/text.h"
#include "net/url.h"

namespace quexa {

namespace {

// The parser is fed in pieces of this size, so it never needs the page twice.
constexpr size_t kChunkBytes = 64 * 1024;

struct Reading {
  std::vector<std::string> links;  // raw values, page order
  std::optional<std::string> base;
};

const char* attribute(const xmlChar** atts, const char* name) {
  if (atts == nullptr) return nullptr;
  for (size_t i = 0; atts[i] != nullptr; i += 2) {
    if (std::strcmp(reinterpret_cast<const char*>(atts[i]), name) == 0)
      return atts[i + 1] != nullptr ? reinterpret_cast<const char*>(atts[i + 1]) : "";
  }
  return nullptr;
}

// The parser gives element and attribute names in lower case.
void onStartElement(void* context, const xmlChar* nameText, const xmlChar** atts) {
  auto* reading = static_cast<Reading*>(static_cast<xmlParserCtxtPtr>(context)->_private);
  const char* name = reinterpret_cast<const char*>(nameText);
  const char* value = nullptr;
  if (std::strcmp(name, "a") == 0 || std::strcmp(name, "area") == 0) {
    value = attribute(atts, "href");
  } else if (std::strcmp(name, "frame") == 0 || std::strcmp(name, "iframe") == 0) {
    value = attribute(atts, "src");
  } else if (std::strcmp(name, "base") == 0) {
    // Only the first <base> with an href counts, for every link of the page.
    const char* href = attribute(atts, "href");
    if (href != nullptr && !reading->base) reading->base = href;
    return;
  }
  if (value != nullptr) reading->links.emplace_back(value);
}

void ignoreMessage(void*, const char*, ...) {}

void startLibxml() {
  static const bool started = [] {
    xmlInitParser();
    return true;
  }();
  (void)started;
}

Reading readPage(std::string_view page) {
  startLibxml();
  Reading reading;
  htmlSAXHandler sax;
  std::memset(&sax, 0, sizeof sax);
  sax.startElement = &onStartElement;
  sax.warning = &ignoreMessage;
  sax.error = &ignoreMessage;
  htmlParserCtxtPtr ctxt =
      htmlCreatePushParserCtxt(&sax, nullptr, nullptr, 0, nullptr, XML_CHAR_ENCODING_UTF8);
  if (ctxt == nullptr) return reading;
  ctxt->_private = &reading;
  // The text is UTF-8 already: a <meta charset> must not make the parser
  // decode it a second time.
  htmlCtxtUseOptions(ctxt, HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET |
                               HTML_PARSE_IGNORE_ENC | HTML_PARSE_COMPACT);
  // The last piece comes with the end: the parser need not look ahead for
  // more input (which costs it a third of its time on a page of one piece).
  size_t at = 0;
  do {
    const std::string_view piece = page.substr(at, kChunkBytes);
    at += piece.size();
    htmlParseChunk(ctxt, piece.data(), static_cast<int>(piece.size()), at >= page.size() ? 1 : 0);
  } while (at < page.size());
  htmlFreeParserCtxt(ctxt);
  return reading;
}

constexpr size_t npos = std::string_view::npos;

bool isLetter(char c) {
  const char lower = static_cast<char>(c | 0x20);
  return lower >= 'a' && lower <= 'z';
}

bool isNameChar(char c) {
  return isLetter(c) || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == ':' || c == '.';
}

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool startsWithLower(std::string_view page, size_t at, std::string_view lowerWord) {
  if (page.size() - at < lowerWord.size()) return false;
  for (size_t i = 0; i < lowerWord.size(); ++i) {
    const char c = page[at + i];
    if ((isLetter(c) ? static_cast<char>(c | 0x20) : c) != lowerWord[i]) return false;
  }
  return true;
}

// Control characters other than blanks, U+FFFE and U+FFFF are no characters
// to the parser: it reports them and may stop reading, so text holding them
// is not to be cut away. Eight bytes at a time, as they are rare.
bool holdsNonXmlCharacter(std::string_view page) {
  constexpr uint64_t kEach = 0x0101010101010101ULL;
  size_t i = 0;
  for (; page.size() - i >= 8; i += 8) {
    uint64_t word;
    std::memcpy(&word, page.data() + i, 8);
    if (((word - kEach * 0x20) & ~word & kEach * 0x80) == 0) continue;  // no byte below 0x20
    for (size_t k = i; k < i + 8; ++k)
      if (static_cast<unsigned char>(page[k]) < 0x20 && !isBlank(page[k])) return true;
  }
  for (; i < page.size(); ++i)
    if (static_cast<unsigned char>(page[i]) < 0x20 && !isBlank(page[i])) return true;
  for (size_t at = page.find("\xEF\xBF"); at != npos; at = page.find("\xEF\xBF", at + 1))
    if (at + 2 < page.size() && (page[at + 2] == '\xBE' || page[at + 2] == '\xBF')) return true;
  return false;
}

// Only what every reading of HTML agrees on is cut; anything else gives up
// (npos) so that the parser reads the whole page.
class MarkupCut {
 public:
  explicit MarkupCut(std::string_view page) : page_(page) { out_.reserve(page.size() / 4); }

  std::optional<std::string> run() {
    // The parser reads a page that is no valid UTF-8 by another encoding from
    // its first bad byte on, so text cut away would change how it reads.
    if (!isValidUtf8(page_) || holdsNonXmlCharacter(page_)) return std::nullopt;
    size_t at = 0;
    bool afterMarkup = true;  // the text run follows a tag, not a "<" that is text
    while (at < page_.size()) {
      const size_t lt = page_.find('<', at);
      text(page_.substr(at, (lt == npos ? page_.size() : lt) - at), afterMarkup);
      if (lt == npos) break;
      const size_t end = markupEnd(lt);
      if (end == kGiveUp) return std::nullopt;
      afterMarkup = end != lt + 1;
      if (!bareTag_.empty())
        out_.append(bareTag_);
      else
        out_.append(page_.substr(lt, end - lt));
      bareTag_.clear();
      at = end;
    }
    return std::move(out_);
  }

 private:
  static constexpr size_t kGiveUp = npos;
  static constexpr size_t kLongestName = 60;

  void text(std::string_view run, bool afterMarkup) {
    if (!afterMarkup || run.find_first_not_of(" \t\n\r") == npos || run.find('>') != npos)
      out_.append(run);
    else
      out_ += '.';
  }

  // Where the markup at page_[lt] == '<' ends: one past its last byte, lt + 1
  // for a "<" that is text, kGiveUp when unsure.
  size_t markupEnd(size_t lt) {
    if (lt + 1 >= page_.size()) return lt + 1;
    const char next = page_[lt + 1];
    if (isLetter(next)) return startTag(lt);
    if (next == '/') return lt + 2 < page_.size() && isLetter(page_[lt + 2]) ? endTag(lt) : kGiveUp;
    if (next == '!') return declaration(lt);
    if (next == '?')
      return lt + 2 < page_.size() && isLetter(page_[lt + 2]) ? plainUpTo(lt) : kGiveUp;
    return lt + 1;
  }

  size_t startTag(size_t lt) {
    size_t i = lt + 1;
    while (i < page_.size() && isNameChar(page_[i])) ++i;
    const std::string_view name = page_.substr(lt + 1, i - lt - 1);
    if (name.size() > kLongestName) return kGiveUp;
    for (;;) {
      while (i < page_.size() && isBlank(page_[i])) ++i;
      if (i >= page_.size()) return kGiveUp;
      const char c = page_[i];
      if (c == '>') {
        bare(name, ">");
        return rawTextEnd(name, i + 1);
      }
      if (c == '/') {
        if (i + 1 >= page_.size() || page_[i + 1] != '>') return kGiveUp;
        bare(name, "/>");
        return i + 2;
      }
      if (!isLetter(c) && c != '_' && c != ':') return kGiveUp;
      while (i < page_.size() && isNameChar(page_[i])) ++i;
      size_t j = i;
      while (j < page_.size() && isBlank(page_[j])) ++j;
      if (j >= page_.size() || page_[j] != '=') continue;
      i = j + 1;
      while (i < page_.size() && isBlank(page_[i])) ++i;
      if (i >= page_.size()) return kGiveUp;
      const char quote = page_[i];
      if (quote == '"' || quote == '\'') {
        const size_t close = page_.find(quote, i + 1);
        if (close == npos) return kGiveUp;
        i = close + 1;
        continue;
      }
      const size_t start = i;
      while (i < page_.size() && !isBlank(page_[i]) && page_[i] != '>') {
        const auto u = static_cast<unsigned char>(page_[i]);
        if (u < 0x20 || u == 0x7f || std::strchr("\"'<=`", page_[i]) != nullptr) return kGiveUp;
        ++i;
      }
      if (i == start) return kGiveUp;
    }
  }

  // A tag that holds no link keeps its name and its end ("/>" closes the
  // element), not its attributes: they change nothing of what the parser
  // does with the tags around them.
  void bare(std::string_view name, std::string_view end) {
    static constexpr std::string_view kLinkTags[] = {"a", "area", "frame", "iframe", "base"};
    for (std::string_view tag : kLinkTags)
      if (name.size() == tag.size() && startsWithLower(name, 0, tag)) return;
    bareTag_ = "<";
    bareTag_.append(name);
    bareTag_.append(end);
  }

  // The insides of <script> and <style> are left out up to their end tag
  // (the parser reads them as text); any other "</" and a letter inside
  // might end them early.
  size_t rawTextEnd(std::string_view name, size_t from) {
    const bool raw = (name.size() == 6 && startsWithLower(name, 0, "script")) ||
                     (name.size() == 5 && startsWithLower(name, 0, "style"));
    if (!raw) return from;
    for (size_t at = page_.find("</", from); at != npos; at = page_.find("</", at + 2)) {
      if (at + 2 >= page_.size() || !isLetter(page_[at + 2])) continue;
      size_t after = at + 2 + name.size();
      if (!startsWithLower(page_, at + 2, lowerName(name)) ||
          (after < page_.size() && isNameChar(page_[after])))
        return kGiveUp;
      return at;
    }
    return kGiveUp;
  }

  static std::string_view lowerName(std::string_view name) {
    return name.size() == 6 ? "script" : "style";
  }

  size_t endTag(size_t lt) {
    const size_t close = plainUpTo(lt);
    if (close == kGiveUp) return kGiveUp;
    const std::string_view inside = page_.substr(lt, close - lt);
    return inside.find_first_of("\"'") == npos ? close : kGiveUp;
  }

  // Up to the first ">", with no "<" before it.
  size_t plainUpTo(size_t lt) const {
    const size_t gt = page_.find('>', lt + 1);
    if (gt == npos || page_.substr(lt + 1, gt - lt - 1).find('<') != npos) return kGiveUp;
    return gt + 1;
  }

  size_t declaration(size_t lt) {
    if (startsWithLower(page_, lt, "<!--")) {
      if (startsWithLower(page_, lt + 4, ">") || startsWithLower(page_, lt + 4, "->"))
        return kGiveUp;
      const size_t end = page_.find("-->", lt + 4);
      if (end == npos) return kGiveUp;
      const size_t bang = page_.find("--!>", lt + 4);
      return bang != npos && bang < end ? kGiveUp : end + 3;
    }
    if (!startsWithLower(page_, lt, "<!doctype")) return kGiveUp;
    const size_t end = plainUpTo(lt);
    if (end == kGiveUp) return kGiveUp;
    const std::string_view inside = page_.substr(lt, end - lt);
    const auto quotes = std::count(inside.begin(), inside.end(), '"');
    return inside.find('\'') == npos && quotes % 2 == 0 ? end : kGiveUp;
  }

  std::string_view page_;
  std::string out_;
  std::string bareTag_;  // what stands for the tag just read, when not the tag itself
};

}  // namespace

std::optional<std::string> markupOnly(std::string_view page) {
  return MarkupCut(page).run();
}

std::vector<std::string> readStandardLinks(std::string_view page, std::string_view pageUrl,
                                           std::string_view scopeHost, bool wholePage) {
  const std::optional<std::string> cut = wholePage ? std::nullopt : markupOnly(page);
  Reading reading = readPage(cut ? std::string_view(*cut) : page);
  std::optional<std::string> baseHref;
  if (reading.base) baseHref = resolveUrl(pageUrl, *reading.base);
  const BaseUrl base(baseHref ? std::string_view(*baseHref) : pageUrl);
  std::vector<std::string> links;
  links.reserve(reading.links.size());
  for (const std::string& raw : reading.links) {
    std::optional<std::string> url = base.resolve(raw);
    if (url && urlHost(*url) == scopeHost) links.push_back(std::move(*url));
  }
  return links;
}

}  // namespace quexa
