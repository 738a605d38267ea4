#include "app/search_frame.h"

#include "app/text.h"
#include "net/fetcher.h"

namespace quexa {

namespace {
void refuse(Window& window, const char* text, const char* title) {
  window.messageBox(text, title, MessageIcon::Critical, MessageButtons::Ok);
}
}  // namespace

bool checkSearchInputs(const MainControls& controls, SearchKind kind, Window& window,
                       bool userEngineTicked) {
  window.setStatus(kStatusInitializing);
  bool anyText = false;
  for (const auto& t : controls.searchText) anyText = anyText || !t.empty();
  if (!anyText) {
    refuse(window, "You must specify the text you want to search!", "Text Missing");
    return false;
  }
  if (kind == SearchKind::Sites && controls.searchCatCount == 0) {
    refuse(window, "You must specify at least one URL!", "URL Missing");
    return false;
  }
  if (kind == SearchKind::Engines) {
    const Settings& s = controls.settings;
    if (!(s.chkYahoo || s.chkLycos || s.chkInfoseek || s.chkExcite || s.chkAltavista ||
          userEngineTicked)) {
      refuse(window, "You must specify at least one search engine!", "Search Engine Missing");
      return false;
    }
  }
  return true;
}

void enterRunningState(AppState& state, Window& window) {
  state.searchRunning = 1;
  window.setSearchFrameVisible(false);
  window.setLampBusy(true);
  for (Control c :
       {Control::searchConfig, Control::searchPrint, Control::searchSave, Control::searchNow,
        Control::viewPrev, Control::buttonMine, Control::buttonEngine, Control::buttonIndex,
        Control::buttonTimer, Control::buttonView})
    window.setEnabled(c, false);
  window.setEnabled(Control::searchStop, true);
  window.clearUnfetched();
  window.refresh();
}

void resetForSearch(AppState& state, Window& window) {
  window.clearPane(Pane::Page);
  window.clearPane(Pane::All);
  state.stopRequest = 0;
  window.setStatus("");
  showFoundCount(state, window, 0);
  window.setEnabled(Control::searchPage, false);
  state.engineHitBuffer.clear();
  if (state.resetResults == 1) {
    window.clearTree();
    window.clearPane(Pane::Page);
    state.resetResults = 0;
  }
}

void showFoundCount(AppState& state, Window& window, int32_t foundCount) {
  // The first label of a search reads "Found: 0"; later ones carry the Str()
  // blank, so two blanks follow the colon.
  state.foundStatus = foundCount == 0 ? std::string("Found: 0") : "Found: " + str(foundCount);
  window.setResultLabel(state.foundStatus);
}

void endSearch(AppState& state, Window& window, Fetcher& fetcher, EndReason reason) {
  window.setStatus(reason == EndReason::Completed ? kStatusReady : kStatusStopped);
  fetcher.cancel();
  for (Control c :
       {Control::searchConfig, Control::searchPrint, Control::searchSave, Control::buttonView})
    window.setEnabled(c, true);
  window.setEnabled(Control::viewPrev, false);
  window.setEnabled(Control::searchStop, false);
  window.setLampBusy(false);
  state.searchRunning = 0;
  window.setBusyCursor(false);
}

void searchStop(AppState& state, Window& window) {
  state.stopRequest = 1;
  window.setStatus(kStatusClosing);
  window.setBusyCursor(true);
}

bool stopFirstGuard(const AppState& state, Window& window) {
  if (state.searchRunning != 1) return true;
  window.beep();
  window.messageBox("You must stop the current search first!", "Search is not stopped",
                    MessageIcon::Critical, MessageButtons::Ok);
  return false;
}

}  // namespace quexa
