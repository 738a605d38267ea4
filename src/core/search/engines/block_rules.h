// The markup clean-up that turns an engine's hit block into a title and a
// description. Every marker search ignores case and the text keeps its own
// capitals. The parser (for the result documents) and the hit detail view
// each run one list of these steps per engine.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace quexa {

enum class BlockOp {
  Remove,           // the first marker taken out, both sides joined
  DropThrough,      // everything up to and including the first marker; without it, two characters
  CutAt,            // the first marker and all after it deleted
  CutAtOr,          // cut at the marker, or when it is absent at the alternative
  RemoveBoldPairs,  // while "<b>" occurs: remove "<b>", then remove "</b>"
  TakeOutBrSpan,    // the first "<br>" and the text up to the next "<br>" (any case)
  TakeOutBrSpanLowerSecond,  // the same, the second "<br>" matched in lower case only
};

struct BlockStep {
  BlockOp op;
  std::string_view marker = {};
  std::string_view alternative = {};
};

// Position of marker in text at or after from, ASCII letters compared without
// case (markers are ASCII, so this equals a search in the lower-cased copy).
size_t findNoCase(std::string_view text, std::string_view marker, size_t from = 0);
bool containsNoCase(std::string_view text, std::string_view marker);

void applyBlockStep(std::string& text, const BlockStep& step);
std::string applyBlockSteps(std::string text, std::span<const BlockStep> steps);

// Text before the first "</a>" and text after it; false when there is none.
bool splitAtEndAnchor(std::string_view text, std::string& before, std::string& after);
// Split at the first line feed, or when there is none at the first carriage
// return; false when the text holds neither.
bool splitAtLineBreak(std::string_view text, std::string& before, std::string& after);

// Yahoo!'s stand-in "No Short Description!" for a description that is one
// line-break character.
void replaceLoneLineBreak(std::string& description);

}  // namespace quexa
