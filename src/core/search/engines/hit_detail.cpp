#include "search/engines/hit_detail.h"

#include <array>

#include "app/text.h"

namespace quexa {

std::optional<Engine> engineForKey(std::string_view lowerKey) {
  // Not the order of the engine search: Excite is looked for before InfoSeek.
  constexpr std::array<std::pair<std::string_view, Engine>, 5> kKeyWords{{
      {"yahoo", Engine::Yahoo},
      {"lycos", Engine::Lycos},
      {"excite", Engine::Excite},
      {"infoseek", Engine::InfoSeek},
      {"altavista", Engine::AltaVista},
  }};
  for (const auto& [word, engine] : kKeyWords) {
    if (contains(lowerKey, word)) return engine;
  }
  return std::nullopt;
}

HitDetail splitHitText(std::optional<Engine> engine, std::string_view hitText) {
  HitDetail detail;
  if (!engine) {
    detail.text = std::string(hitText);
    return detail;
  }
  const EngineRow& row = engineRow(*engine);
  std::string cleaned = applyBlockSteps(std::string(hitText), row.detailSteps);
  switch (row.detailSplit) {
    case BlockSplit::AtLineBreak:
      detail.split = splitAtLineBreak(cleaned, detail.title, detail.description);
      if (!detail.split) detail.text = cleaned;
      return detail;
    case BlockSplit::AtEndAnchor:
      if (!splitAtEndAnchor(cleaned, detail.title, detail.description)) detail.title = cleaned;
      break;
    case BlockSplit::AtEndAnchorDescription:
      if (!splitAtEndAnchor(cleaned, detail.title, detail.description)) {
        detail.description = cleaned;
      }
      break;
  }
  detail.split = true;
  if (row.noShortDescription) replaceLoneLineBreak(detail.description);
  return detail;
}

}  // namespace quexa
