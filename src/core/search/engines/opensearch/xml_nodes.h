// Small readers of libxml2 element trees, shared by the answer readers and
// the description document reader.
#pragma once

#include <libxml/tree.h>

#include <string>
#include <string_view>

namespace quexa {

// The attribute's value, "" when the element has none.
inline std::string attributeOf(const xmlNode* node, const char* name) {
  xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
  if (!value) return "";
  std::string s(reinterpret_cast<const char*>(value));
  xmlFree(value);
  return s;
}

// Whether node is an element of this local name.
inline bool named(const xmlNode* node, std::string_view name) {
  return node->type == XML_ELEMENT_NODE &&
         std::string_view(reinterpret_cast<const char*>(node->name)) == name;
}

}  // namespace quexa
