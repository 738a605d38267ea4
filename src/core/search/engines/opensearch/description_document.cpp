#include "search/engines/opensearch/description_document.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <array>
#include <memory>

#include "app/text.h"
#include "search/engines/opensearch/result_reader.h"
#include "search/engines/opensearch/xml_nodes.h"

namespace quexa {

namespace {

int offsetOf(const xmlNode* url, const char* name) {
  int64_t n = 1;
  if (!parseWholeNumber(trim(attributeOf(url, name)), n) || n < 0 || n > 1000000) return 1;
  return static_cast<int>(n);
}

constexpr std::array<std::pair<std::string_view, ResultFormat>, 3> kPreferredTypes{{
    {"application/rss+xml", ResultFormat::Rss},
    {"application/atom+xml", ResultFormat::Atom},
    {"application/json", ResultFormat::SearxngJson},
}};

}  // namespace

DescribedEngine readDescriptionDocument(std::string_view body) {
  DescribedEngine described;
  if (body.size() > kMaxAnswerBytes) {
    described.error = "the description document is too large";
    return described;
  }
  constexpr int kOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING |
                           XML_PARSE_IGNORE_ENC | XML_PARSE_NOCDATA;
  std::unique_ptr<xmlDoc, void (*)(xmlDoc*)> doc(
      xmlReadMemory(body.data(), static_cast<int>(body.size()), nullptr, "UTF-8", kOptions),
      xmlFreeDoc);
  const xmlNode* root = doc ? xmlDocGetRootElement(doc.get()) : nullptr;
  if (!root || !named(root, "OpenSearchDescription")) {
    described.error = "the address gives no OpenSearch description document";
    return described;
  }
  const xmlNode* chosen = nullptr;
  size_t chosenRank = kPreferredTypes.size();
  std::string refusal;
  for (const xmlNode* n = root->children; n; n = n->next) {
    if (named(n, "ShortName") && described.engine.name.empty()) {
      xmlChar* text = xmlNodeGetContent(n);
      if (text) {
        described.engine.name = trim(reinterpret_cast<const char*>(text));
        xmlFree(text);
      }
    }
    if (!named(n, "Url")) continue;
    const std::string rel = attributeOf(n, "rel");
    if (!rel.empty() && rel != "results") continue;
    const std::string type = lowerSameLength(trim(attributeOf(n, "type")));
    for (size_t rank = 0; rank < chosenRank; ++rank) {
      if (type != kPreferredTypes[rank].first) continue;
      const std::string why = templateRefusal(attributeOf(n, "template"));
      if (!why.empty()) {
        refusal = why;
        break;
      }
      chosen = n;
      chosenRank = rank;
    }
  }
  if (!chosen) {
    described.error = "the description document has no usable Url (of type RSS, Atom or JSON)";
    if (!refusal.empty()) described.error += ": " + refusal;
    return described;
  }
  described.engine.urlTemplate = attributeOf(chosen, "template");
  described.engine.format = kPreferredTypes[chosenRank].second;
  described.engine.indexOffset = offsetOf(chosen, "indexOffset");
  described.engine.pageOffset = offsetOf(chosen, "pageOffset");
  described.usable = true;
  return described;
}

}  // namespace quexa
