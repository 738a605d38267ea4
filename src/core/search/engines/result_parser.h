// Reads one engine result page: finds the candidate links, rejects the
// engines' own links, repeats and non-hits, and cuts title, description and
// node title out of every accepted hit. What is done with a hit (tree node,
// document entry, hit store) is the engine search's.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "search/engines/engine_table.h"
#include "search/engines/hit_store.h"

namespace quexa {

class EventPump;

struct ParsedHit {
  std::string url;          // lower case
  std::string rawBlock;     // for the hit store: URL, " ", rawBlock, "</BO>"
  std::string title;        // document title
  std::string description;  // document description, left-trimmed
  std::string nodeTitle;    // "No Title" when the anchor has no "</a>"
  // False for an InfoSeek block without a line break: the hit gets its tree
  // node but no entry in the results document.
  bool hasDocumentEntry = true;
};

// The engine's counters, owned by the engine search and carried from page to
// page (acceptedHits is the offset of the next request).
struct EngineProgress {
  int32_t acceptedHits = 0;
  bool moreResults = true;
};

struct PageListener {
  // Lists the hit; it must be in the hit store when this returns, so that
  // the next link's duplicate test sees it.
  std::function<void(const ParsedHit&)> listHit;
  // Called after every examined link, listed or rejected; false ends the page.
  std::function<bool()> linkExamined;
};

struct PageOutcome {
  int32_t hitsOnPage = 0;
  bool endedByListener = false;  // linkExamined returned false
};

// Parses one page. The store is read for the duplicate test only. The pump
// runs once per examined link.
PageOutcome parseResultPage(Engine engine, std::string_view page, const EngineHitStore& store,
                            EngineProgress& progress, const PageListener& listener,
                            EventPump& pump);

// Title, description, document flag and node title of one hit, from its raw
// block and the anchor text (the page text after the link up to "</a>",
// none when no "</a>" follows).
void cutHitTexts(const EngineRow& row, std::string_view rawBlock,
                 std::optional<std::string_view> anchorText, ParsedHit& hit);

}  // namespace quexa
