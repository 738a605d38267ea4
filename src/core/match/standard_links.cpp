#include "match/standard_links.h"

#include <libxml/HTMLparser.h>
#include <libxml/parser.h>

#include <cstring>
#include <optional>

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
  for (size_t at = 0; at < page.size(); at += kChunkBytes) {
    const std::string_view piece = page.substr(at, kChunkBytes);
    htmlParseChunk(ctxt, piece.data(), static_cast<int>(piece.size()), 0);
  }
  htmlParseChunk(ctxt, nullptr, 0, 1);
  htmlFreeParserCtxt(ctxt);
  return reading;
}

}  // namespace

std::vector<std::string> readStandardLinks(std::string_view page, std::string_view pageUrl,
                                           std::string_view scopeHost) {
  Reading reading = readPage(page);
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
