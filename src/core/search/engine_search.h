// The "Web Engines" search: the search texts go as one query to each ticked
// engine in turn (Yahoo! in two passes), the engines' result pages are read
// page after page, and every hit they name is listed in the result tree and
// the all-results pane with a running found count. The hit pages themselves
// are not fetched.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "app/controls.h"
#include "app/errors.h"
#include "app/state.h"
#include "app/window.h"
#include "match/matcher.h"
#include "net/fetcher.h"
#include "search/engines/opensearch/user_engine.h"
#include "search/engines/queries.h"

namespace quexa {

struct EngineSearchContext {
  AppState& state;
  Window& window;
  Fetcher& fetcher;
  EventPump& pump;
  const MainControls& controls;  // as they stood when Start was pressed
  const EngineHosts& hosts;

  int32_t foundCount = 0;  // out: hits listed by the search

  // The user's engines (qxengines.ini order); the ticked ones are asked
  // after the five.
  std::vector<UserEngine> userEngines = {};
  // Checked hits: each new hit's page is fetched and matched as the site
  // search matches a page, and only the pages that hold the texts are
  // listed, with the site search's entry. Needs the matcher.
  bool checkHits = false;
  Matcher* matcher = nullptr;
};

// Runs the search from its start sequence to its end sequence. Returns
// nullopt when the input checks refused to start (a message box was shown
// and nothing else changed), otherwise how the search ended. The end by
// Maximum Sites counts as Completed.
std::optional<EndReason> searchWebEngines(EngineSearchContext& context);

}  // namespace quexa
