// engineHitBuffer: for each listed engine hit its URL, one blank, the hit's
// raw block and "</BO>". It is the engine search's duplicate test and the
// page view's source of a hit's description.
#pragma once

#include <string>
#include <string_view>

namespace quexa {

class EngineHitStore {
 public:
  void clear() { text_.clear(); }
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

 private:
  std::string text_;
};

}  // namespace quexa
