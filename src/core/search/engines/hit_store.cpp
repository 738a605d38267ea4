#include "search/engines/hit_store.h"

#include "app/text.h"

namespace quexa {

void EngineHitStore::appendUrl(std::string_view url) {
  text_ += url;
  text_ += ' ';
}

void EngineHitStore::appendBlock(std::string_view rawBlock) {
  text_ += rawBlock;
  text_ += "</BO>";
}

bool EngineHitStore::containsText(std::string_view s) const { return contains(text_, s); }

std::string EngineHitStore::hitText(std::string_view url) const {
  size_t p = text_.find(url);
  if (p == std::string::npos) return "";
  size_t from = p + url.size();
  size_t end = text_.find("</BO>", from);
  std::string_view rest(text_);
  rest = rest.substr(from, end == std::string::npos ? std::string::npos : end - from);
  return ltrim(rest);
}

}  // namespace quexa
