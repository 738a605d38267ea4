// The "My Web Sites" search: every URL of the chosen index is fetched and
// matched (single-page mode), or each site is crawled breadth-first over
// the links that stay on its host ("Sear&ch All Links"). Every matching
// page is counted, gets a node in the result tree and a site entry in the
// all-results pane.
#pragma once

#include <cstdint>
#include <optional>

#include "app/controls.h"
#include "app/errors.h"
#include "app/state.h"
#include "app/window.h"
#include "match/matcher.h"
#include "net/fetcher.h"

namespace quexa {

struct SiteSearchContext {
  AppState& state;
  Window& window;
  Fetcher& fetcher;
  EventPump& pump;
  Matcher& matcher;
  const MainControls& controls;  // as they stood when Start was pressed

  int32_t foundCount = 0;  // out: pages listed by the search
};

// Runs the search from its start sequence to its end sequence. Returns
// nullopt when the input checks refused to start (a message box was shown
// and nothing else changed), otherwise how the search ended. The end of a
// crawl by Maximum Sites counts as Completed.
std::optional<EndReason> searchMineSites(SiteSearchContext& context);

}  // namespace quexa
