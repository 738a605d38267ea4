#include "search/engines/opensearch/result_reader.h"

#include <libxml/HTMLparser.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <memory>
#include <nlohmann/json.hpp>

#include "app/text.h"
#include "search/engines/opensearch/xml_nodes.h"

namespace quexa {

namespace {

struct DocFree {
  void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
};
using Doc = std::unique_ptr<xmlDoc, DocFree>;

std::string contentOf(const xmlNode* node) {
  xmlChar* text = xmlNodeGetContent(node);
  if (!text) return "";
  std::string s(reinterpret_cast<const char*>(text));
  xmlFree(text);
  return s;
}

const xmlNode* child(const xmlNode* parent, std::string_view name) {
  for (const xmlNode* n = parent->children; n; n = n->next)
    if (named(n, name)) return n;
  return nullptr;
}

// Cut to at most max bytes without splitting a UTF-8 character.
std::string capped(std::string s, size_t max) {
  if (s.size() <= max) return s;
  size_t end = max;
  while (end > 0 && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80) --end;
  s.resize(end);
  return s;
}

// The body already came decoded to UTF-8; a declared encoding no longer
// holds. No network access and no external entities.
Doc parseXml(std::string_view body) {
  constexpr int kOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING |
                           XML_PARSE_IGNORE_ENC | XML_PARSE_NOCDATA;
  return Doc(xmlReadMemory(body.data(), static_cast<int>(body.size()), nullptr, "UTF-8", kOptions));
}

void addHit(EngineAnswer& answer, std::string url, std::string_view title,
            std::string_view description) {
  url = trim(url);
  if (!isListableLink(url)) {
    ++answer.dropped;
    return;
  }
  if (answer.hits.size() >= kMaxAnswerHits) return;
  answer.hits.push_back({std::move(url), capped(plainTextOf(title), kMaxTitleBytes),
                         capped(plainTextOf(description), kMaxDescriptionBytes)});
}

void readRss(const xmlNode* root, EngineAnswer& answer) {
  const xmlNode* channel = child(root, "channel");
  // RSS 1.0 keeps its items beside the channel.
  for (const xmlNode* parent : {channel, root}) {
    if (!parent) continue;
    for (const xmlNode* item = parent->children; item; item = item->next) {
      if (!named(item, "item")) continue;
      const xmlNode* link = child(item, "link");
      const xmlNode* title = child(item, "title");
      const xmlNode* description = child(item, "description");
      addHit(answer, link ? contentOf(link) : "", title ? contentOf(title) : "",
             description ? contentOf(description) : "");
    }
  }
}

// The link with rel "alternate", or the first without rel.
std::string atomLink(const xmlNode* entry) {
  std::string bare;
  for (const xmlNode* n = entry->children; n; n = n->next) {
    if (!named(n, "link")) continue;
    const std::string rel = attributeOf(n, "rel");
    if (rel == "alternate") return attributeOf(n, "href");
    if (rel.empty() && bare.empty()) bare = attributeOf(n, "href");
  }
  return bare;
}

void readAtom(const xmlNode* feed, EngineAnswer& answer) {
  for (const xmlNode* entry = feed->children; entry; entry = entry->next) {
    if (!named(entry, "entry")) continue;
    const xmlNode* title = child(entry, "title");
    const xmlNode* summary = child(entry, "summary");
    if (!summary) summary = child(entry, "content");
    addHit(answer, atomLink(entry), title ? contentOf(title) : "",
           summary ? contentOf(summary) : "");
  }
}

EngineAnswer readXml(ResultFormat format, std::string_view body) {
  EngineAnswer answer;
  Doc doc = parseXml(body);
  const xmlNode* root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
  const std::string_view expected = format == ResultFormat::Rss ? "RSS" : "Atom";
  if (!root) {
    answer.error = "the answer is no " + std::string(expected) + " document";
    return answer;
  }
  if (format == ResultFormat::Rss && (named(root, "rss") || named(root, "RDF"))) {
    readRss(root, answer);
  } else if (format == ResultFormat::Atom && named(root, "feed")) {
    readAtom(root, answer);
  } else {
    answer.error = "the answer is no " + std::string(expected) + " document (its root is <" +
                   capped(reinterpret_cast<const char*>(root->name), 40) + ">)";
    return answer;
  }
  answer.readable = true;
  return answer;
}

std::string jsonText(const nlohmann::json& object, const char* key) {
  const auto it = object.find(key);
  if (it == object.end() || !it->is_string()) return "";
  return it->get<std::string>();
}

EngineAnswer readSearxng(std::string_view body) {
  EngineAnswer answer;
  nlohmann::json doc = nlohmann::json::parse(body.begin(), body.end(), nullptr, false);
  if (doc.is_discarded() || !doc.is_object()) {
    answer.error = "the answer is no JSON object";
    return answer;
  }
  const auto results = doc.find("results");
  if (results == doc.end() || !results->is_array()) {
    answer.error = "the answer holds no \"results\" list";
    return answer;
  }
  for (const nlohmann::json& r : *results) {
    if (!r.is_object()) {
      ++answer.dropped;
      continue;
    }
    addHit(answer, jsonText(r, "url"), jsonText(r, "title"), jsonText(r, "content"));
  }
  answer.readable = true;
  return answer;
}

void appendText(const xmlNode* node, std::string& out) {
  for (const xmlNode* n = node; n; n = n->next) {
    if (n->type == XML_TEXT_NODE || n->type == XML_CDATA_SECTION_NODE) {
      if (n->content) out += reinterpret_cast<const char*>(n->content);
    } else if (n->type == XML_ELEMENT_NODE) {
      const std::string_view name(reinterpret_cast<const char*>(n->name));
      if (name == "script" || name == "style") continue;
      if (name == "br" || name == "p" || name == "div" || name == "li") out += ' ';
      appendText(n->children, out);
    }
  }
}

std::string collapseBlanks(std::string_view text) {
  std::string out;
  for (char c : text) {
    const bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
    if (blank) {
      if (!out.empty() && out.back() != ' ') out += ' ';
    } else {
      out += c;
    }
  }
  return trim(out);
}

}  // namespace

EngineAnswer readEngineAnswer(ResultFormat format, std::string_view body) {
  if (body.size() > kMaxAnswerBytes) {
    EngineAnswer answer;
    answer.error = "the answer is larger than " + std::to_string(kMaxAnswerBytes >> 20) + " MB";
    return answer;
  }
  if (trim(body).empty()) {
    EngineAnswer answer;
    answer.error = "the answer is empty";
    return answer;
  }
  if (format == ResultFormat::SearxngJson) return readSearxng(body);
  return readXml(format, body);
}

std::string plainTextOf(std::string_view markup) {
  if (markup.find_first_of("<&") == std::string_view::npos) return collapseBlanks(markup);
  const std::string wrapped = "<html><body>" + std::string(markup) + "</body></html>";
  constexpr int kOptions = HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                           HTML_PARSE_RECOVER | HTML_PARSE_NOIMPLIED;
  Doc doc(
      htmlReadMemory(wrapped.data(), static_cast<int>(wrapped.size()), nullptr, "UTF-8", kOptions));
  if (!doc) return collapseBlanks(markup);
  std::string text;
  appendText(xmlDocGetRootElement(doc.get()), text);
  return collapseBlanks(text);
}

bool isListableLink(std::string_view url) {
  const std::string lower = lowerSameLength(url);
  if (!startsWith(lower, "http://") && !startsWith(lower, "https://")) return false;
  if (url.size() > 2048) return false;
  for (char c : url) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u <= 0x20 || u == 0x7F || c == '"' || c == '<' || c == '>') return false;
  }
  return true;
}

}  // namespace quexa
