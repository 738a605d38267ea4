// What every reader of an engine answer must keep, whatever the bytes: only
// listable links, texts within their caps, no more hits than the cap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "search/engines/opensearch/result_reader.h"

namespace quexa::fuzz {

inline void checkAnswer(ResultFormat format, std::string_view body) {
  const EngineAnswer answer = readEngineAnswer(format, body);
  if (!answer.readable && (answer.error.empty() || !answer.hits.empty())) std::abort();
  if (answer.hits.size() > kMaxAnswerHits) std::abort();
  for (const EngineAnswerHit& hit : answer.hits) {
    if (!isListableLink(hit.url)) std::abort();
    if (hit.title.size() > kMaxTitleBytes || hit.description.size() > kMaxDescriptionBytes)
      std::abort();
  }
}

}  // namespace quexa::fuzz
