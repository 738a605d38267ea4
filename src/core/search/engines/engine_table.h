// The five Web search engines and everything that differs between them: one
// row per engine, read by the query builder, the result-page parser, the
// engine search and the hit detail view.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string_view>

#include "app/settings.h"
#include "search/engines/block_rules.h"

namespace quexa {

enum class Engine { Yahoo, Lycos, InfoSeek, Excite, AltaVista };

// The order in which the engine search asks them.
inline constexpr std::array<Engine, 5> kEngineOrder{Engine::Yahoo, Engine::Lycos, Engine::InfoSeek,
                                                    Engine::Excite, Engine::AltaVista};

// A link that passed the common anchor tests may still be one of the
// engine's own (translation offers, links into the engine's site).
enum class ExtraRejection {
  None,
  EngineWordBeforeBrHttp,  // the engine word in the text up to the next "<br>http"
  TranslateInTestBlock,    // "translate" in the test block
};

// How the cleaned block becomes title and description.
enum class BlockSplit {
  AtEndAnchor,             // at "</a>"; without it the title is the whole text
  AtEndAnchorDescription,  // at "</a>"; without it the description is the whole text
  AtLineBreak,             // at the first LF (else CR); without either, no split
};

enum class NodeTitleSource {
  AnchorText,    // the page text after the link up to "</a>"
  CleanedBlock,  // the cleaned hit block up to "</a>"
};

enum class NodeTitleCleanup {
  BoldPair,  // when "<b>" occurs: remove "<b>", then "</b>"
  None,
  FirstLine,  // cut at the first LF, then at the first CR
};

struct EngineRow {
  Engine engine;
  std::string_view name;  // as the command line's --host names it
  bool Settings::*tickBox;
  std::string_view statusText;
  std::string_view heading;
  std::string_view rootText;
  std::string_view leafKeyPrefix;

  // Result-page parsing.
  std::string_view engineWord;
  std::string_view testTerminator;
  std::string_view hitTerminator;
  ExtraRejection extraRejection;
  bool rejectionLowersCount;  // a link failing the anchor tests takes one off acceptedHits
  bool blockFromFirstBold;    // the hit block starts at its first "<b>"
  std::span<const BlockStep> documentSteps;
  BlockSplit documentSplit;
  bool noShortDescription;  // a lone line break as description is replaced
  NodeTitleSource nodeTitleSource;
  NodeTitleCleanup nodeTitleCleanup;

  // The hit detail view of a selected hit.
  std::span<const BlockStep> detailSteps;
  BlockSplit detailSplit;
};

const EngineRow& engineRow(Engine engine);
// The engine whose name (case-insensitive) is given, as "yahoo" or "AltaVista".
std::optional<Engine> engineNamed(std::string_view name);

// The words by which the engines' own links are recognised, in this order.
inline constexpr std::array<std::string_view, 5> kEngineWords{"yahoo", "lycos", "infoseek",
                                                              "excite", "altavista"};

}  // namespace quexa
