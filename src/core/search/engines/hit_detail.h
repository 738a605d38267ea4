// The page view of a selected engine hit: which engine listed it, and its
// stored text cleaned into a title and a description.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "search/engines/engine_table.h"

namespace quexa {

// The first of "yahoo", "lycos", "excite", "infoseek", "altavista" (in this
// order) that occurs in the lower-cased node key.
std::optional<Engine> engineForKey(std::string_view lowerKey);

struct HitDetail {
  bool split = false;  // title and description; otherwise text alone
  std::string title;
  std::string description;
  std::string text;  // the detail when not split
};

// The hit text after the engine's rules. Without an engine the text stays as
// it is; an InfoSeek text without a line break stays unsplit too.
HitDetail splitHitText(std::optional<Engine> engine, std::string_view hitText);

}  // namespace quexa
