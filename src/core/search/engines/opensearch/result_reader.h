// Reading the answer of a user engine: RSS 2.0 items, Atom entries or the
// results of a SearXNG JSON answer, each turned into address, title and
// description as plain text. Pure functions; safe for concurrent use.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "search/engines/opensearch/user_engine.h"

namespace quexa {

struct EngineAnswerHit {
  std::string url;  // an absolute http or https address, as the engine gave it
  std::string title;
  std::string description;
};

struct EngineAnswer {
  bool readable = false;  // false: error says why
  std::string error;
  std::vector<EngineAnswerHit> hits;
  size_t dropped = 0;  // items without a usable link
};

// Answers larger than this are not read.
inline constexpr size_t kMaxAnswerBytes = 8u * 1024u * 1024u;
// Hits read from one answer at most; titles and descriptions are cut to these
// many bytes (at a character boundary).
inline constexpr size_t kMaxAnswerHits = 500;
inline constexpr size_t kMaxTitleBytes = 400;
inline constexpr size_t kMaxDescriptionBytes = 2000;

EngineAnswer readEngineAnswer(ResultFormat format, std::string_view body);

// Markup (tags, entities) taken out of a title or description; runs of white
// space become one blank, and the ends are trimmed.
std::string plainTextOf(std::string_view markup);

// A link is listed only when it is an absolute http or https address without
// blanks, quotes or angle brackets.
bool isListableLink(std::string_view url);

}  // namespace quexa
