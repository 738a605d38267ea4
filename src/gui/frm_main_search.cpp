// Start and Stop: the frame around a search of either mode.
#include <QCheckBox>
#include <QGroupBox>
#include <QSpinBox>

#include "frm_main.h"
#include "search/engine_search.h"
#include "search/site_search.h"
#include "search_tools.h"

namespace quexa {

void FrmMain::searchNow_Click() {
  // The window's mode decides the search: the site frame is enabled exactly
  // in the "My Web Sites" mode.
  runSearch(frameMine->isEnabled() ? SearchKind::Sites : SearchKind::Engines);
}

void FrmMain::runSearch(SearchKind kind) {
  if (!numberBoxesFilled()) return;
  guarded([&] {
    // The controls as they stand now; the search checks them itself before
    // it switches the window to its running state.
    const MainControls controls = currentControls();
    SearchTools tools(connectionsSpin->value());
    const LentFetcher lent(activeFetcher_, tools.fetcher);
    if (kind == SearchKind::Sites) {
      SiteSearchContext context{state,      *window_,      tools.fetcher,
                                tools.pump, tools.matcher, controls};
      searchMineSites(context);
      return;
    }
    // The engines' hosts as qxhosts.ini names them, read at every start.
    const EngineHosts hosts = loadEngineHosts(state.dataDir);
    EngineSearchContext context{state, *window_, tools.fetcher, tools.pump, controls, hosts};
    context.userEngines = userEngineBoxes->engines();
    context.checkHits = chkCheckHits->isChecked();
    context.matcher = &tools.matcher;
    searchWebEngines(context);
  });
  // A search that ran leaves the results view up: its last node shows, and
  // the next key goes to the results rather than to a command.
  if (frameSearch->isHidden()) {
    window_->revealLastNode();
    focusResults();
  }
}

void FrmMain::searchStop_Click() {
  quexa::searchStop(state, *window_);
  if (activeFetcher_ != nullptr) activeFetcher_->cancel();
}

}  // namespace quexa
