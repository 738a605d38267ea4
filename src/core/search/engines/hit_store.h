// engineHitBuffer: for each listed engine hit its URL, one blank, the hit's
// raw block and "</BO>". It is the engine search's duplicate test and the
// page view's source of a hit's description.
#pragma once

#include <array>
#include <cstddef>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quexa {

class EngineHitStore {
 public:
  void clear();
  // Appends URL and blank; the block follows with appendBlock.
  void appendUrl(std::string_view url);
  void appendBlock(std::string_view rawBlock);
  // The duplicate test: the text occurs anywhere in the store.
  bool containsText(std::string_view s) const;
  // The page view: the text after the first occurrence of url up to the next
  // "</BO>" (to the end when there is none), leading blanks removed; empty
  // when url does not occur.
  std::string hitText(std::string_view url) const;
  const std::string& text() const { return text_; }

  // A hit of a user engine comes with its title and description as plain
  // text, which the hit detail shows as they are; found by the lower-cased
  // address (as a node key gives it back), nullptr for any other hit.
  struct PlainHit {
    std::string url;  // as the engine gave it
    std::string title;
    std::string description;
  };
  void notePlainHit(PlainHit hit);
  const PlainHit* plainHit(const std::string& lowerUrl) const;

 private:
  void append(std::string_view s);
  void indexFrom(size_t from);
  void indexCompleteTail();
  bool tailHolds(std::string_view s) const;

  std::string text_;
  // The duplicate test asks for URLs, which start with "http", so every
  // occurrence starts at an "http" of the text. Each such position is indexed
  // by the kKeyLength characters from it once the text reaches that far
  // (positions closer to the end wait in tail_). The text only grows, so a
  // key never changes once made. Shorter texts are looked up in the ordered
  // keys, longer ones by the hash of their first kKeyLength characters.
  static constexpr size_t kKeyLength = 24;
  using Key = std::array<char, kKeyLength>;
  struct KeyLess {
    using is_transparent = void;
    static std::string_view view(const Key& k) { return {k.data(), k.size()}; }
    bool operator()(const Key& a, const Key& b) const { return view(a) < view(b); }
    bool operator()(const Key& a, std::string_view b) const { return view(a) < b; }
    bool operator()(std::string_view a, const Key& b) const { return a < view(b); }
  };
  std::set<Key, KeyLess> keys_;
  std::unordered_multimap<size_t, size_t> positionsByKeyHash_;
  std::vector<size_t> tail_;
  std::unordered_map<std::string, PlainHit> plainHits_;
};

}  // namespace quexa
