// Letter case for case mode 201: Unicode simple case folding of every cased
// script, as the character database of the system's ICU gives it. A fold may
// change a character's byte length (the Kelvin sign folds to "k"), so the
// folded page keeps a map back to the page's own positions: the extract shows
// the page's own letters and marks exactly the matched ones.
//
// Thread safety: every function is safe for concurrent use.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "visible_text.h"

namespace mzk11 {

// Positions in a folded text and the text it was folded from. A shift is
// recorded after each character whose folded form has another byte length;
// between shifts both texts advance byte for byte. No shifts: the same
// positions in both.
struct PositionMap {
  struct Shift {
    size_t folded;  // just after the character in the folded text
    size_t page;    // and in the page's own text
  };
  std::vector<Shift> shifts;  // ascending in both members

  size_t toPage(size_t folded) const;
  size_t toFolded(size_t page) const;
};

struct FoldedText {
  TextBytes bytes;  // holds `text`
  std::string_view text;
  PositionMap positions;
};

// Every character replaced by its simple case fold. Bytes that are not valid
// UTF-8 are kept as they are. ASCII goes sixteen bytes at a time.
FoldedText foldPage(std::string_view text);
std::string foldText(std::string_view text);

}  // namespace mzk11
