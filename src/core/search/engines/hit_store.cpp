#include "search/engines/hit_store.h"

#include <algorithm>

#include "app/text.h"

namespace quexa {

namespace {

constexpr std::string_view kUrlStart = "http";

}  // namespace

void EngineHitStore::clear() {
  text_.clear();
  keys_.clear();
  positionsByKeyHash_.clear();
  tail_.clear();
  plainHits_.clear();
}

void EngineHitStore::notePlainHit(PlainHit hit) {
  std::string key = lowerSameLength(hit.url);
  plainHits_.emplace(std::move(key), std::move(hit));
}

const EngineHitStore::PlainHit* EngineHitStore::plainHit(const std::string& lowerUrl) const {
  const auto it = plainHits_.find(lowerUrl);
  return it == plainHits_.end() ? nullptr : &it->second;
}

void EngineHitStore::appendUrl(std::string_view url) {
  append(url);
  append(" ");
}

void EngineHitStore::appendBlock(std::string_view rawBlock) {
  append(rawBlock);
  append("</BO>");
}

void EngineHitStore::append(std::string_view s) {
  const size_t oldSize = text_.size();
  text_ += s;
  // An "http" may straddle the old end.
  indexFrom(oldSize < kUrlStart.size() ? 0 : oldSize - (kUrlStart.size() - 1));
  indexCompleteTail();
}

void EngineHitStore::indexFrom(size_t from) {
  for (size_t at = text_.find(kUrlStart, from); at != std::string::npos;
       at = text_.find(kUrlStart, at + 1)) {
    tail_.push_back(at);
  }
}

void EngineHitStore::indexCompleteTail() {
  auto complete = [this](size_t at) { return at + kKeyLength <= text_.size(); };
  for (size_t at : tail_) {
    if (!complete(at)) continue;
    std::string_view key = std::string_view(text_).substr(at, kKeyLength);
    Key stored;
    std::copy(key.begin(), key.end(), stored.begin());
    keys_.insert(stored);
    positionsByKeyHash_.emplace(std::hash<std::string_view>{}(key), at);
  }
  std::erase_if(tail_, complete);
}

bool EngineHitStore::tailHolds(std::string_view s) const {
  return std::any_of(tail_.begin(), tail_.end(),
                     [&](size_t at) { return std::string_view(text_).substr(at, s.size()) == s; });
}

bool EngineHitStore::containsText(std::string_view s) const {
  if (!startsWith(s, kUrlStart)) return contains(text_, s);
  if (tailHolds(s)) return true;
  if (s.size() <= kKeyLength) {
    // The least key not below s starts with s when any key does.
    auto it = keys_.lower_bound(s);
    return it != keys_.end() && startsWith(KeyLess::view(*it), s);
  }
  const std::string_view text(text_);
  auto [from, to] =
      positionsByKeyHash_.equal_range(std::hash<std::string_view>{}(s.substr(0, kKeyLength)));
  for (auto it = from; it != to; ++it) {
    if (text.substr(it->second, s.size()) == s) return true;
  }
  return false;
}

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
