// Start and Stop: the frame around a search of either mode.
#include <QGroupBox>

#include "frm_main.h"
#include "null_fetcher.h"

namespace quexa {

void FrmMain::searchNow_Click() {
  // The window's mode decides the search: the site frame is enabled exactly
  // in the "My Web Sites" mode.
  const SearchKind kind = frameMine->isEnabled() ? SearchKind::Sites : SearchKind::Engines;
  if (!checkSearchInputs(currentControls(), kind, *window_)) return;
  runSearch(kind);
}

void FrmMain::runSearch(SearchKind kind) {
  (void)kind;
  // Until the site and engine searches are wired in here, a search runs
  // its frame with a fetcher that fetches nothing.
  NullFetcher fetcher;
  enterRunningState(state, *window_);
  resetForSearch(state, *window_);
  endSearch(state, *window_, fetcher,
            state.stopRequest == 1 ? EndReason::Stopped : EndReason::Completed);
}

void FrmMain::searchStop_Click() {
  quexa::searchStop(state, *window_);
}

}  // namespace quexa
