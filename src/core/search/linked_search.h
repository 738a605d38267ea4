// "Search Web Site": searches the page selected in the result tree, and with
// "Sear&ch All Links" every page of its host that can be reached from it.
// Each searched page goes to the page pane as a linked page entry, the
// progress to lblResult as "Links: matched/fetched". It adds no tree nodes
// and leaves the found count, the all-results pane and foundStatus alone.
#pragma once

#include <cstdint>
#include <string>

#include "app/controls.h"
#include "app/errors.h"
#include "results/result_tools.h"

namespace quexa {

struct LinkedSearchResult {
  bool started = false;  // false when the stop-first guard refused it
  EndReason reason = EndReason::Completed;
  int32_t linkedMatched = 0;  // pages with a match
  int32_t linkedFetched = 0;  // pages taken for fetching
};

// searchPage_Click over selectedPageUrl. A request time-out follows the
// fetch's time-out rule; every other failure ends the search quietly, with
// no dialog.
LinkedSearchResult searchPage_Click(ResultTools& tools, const MainControls& controls);

// "Links: " & matched & "/" & fetched, the numbers without blanks.
std::string linksStatus(int32_t linkedMatched, int32_t linkedFetched);

}  // namespace quexa
