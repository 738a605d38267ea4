#include "results/pane_handlers.h"

namespace quexa {

bool allWebResult_Click(const AppState& state, Window& window) {
  if (state.searchRunning != 1) return false;
  window.beep();
  return true;
}

bool dispResult_Click(const AppState& state, Window& window) {
  if (state.paneBusy != 1) return false;
  window.beep();
  return true;
}

const std::string& dispTabLabel(const AppState& state, bool frameMineEnabled, ResultTab shown) {
  if (!frameMineEnabled && shown == ResultTab::EachWebSite) return state.linkStatus;
  return state.foundStatus;
}

void dispTab_Click(const AppState& state, Window& window, bool frameMineEnabled, ResultTab shown) {
  window.setResultLabel(dispTabLabel(state, frameMineEnabled, shown));
}

void viewPrev_Click(Window& window) {
  window.setSearchFrameVisible(false);
  for (Control c : {Control::searchConfig, Control::searchSave, Control::searchPrint})
    window.setEnabled(c, true);
  for (Control c : {Control::viewPrev, Control::searchNow, Control::searchStop, Control::buttonMine,
                    Control::buttonEngine, Control::buttonIndex, Control::buttonTimer})
    window.setEnabled(c, false);
}

}  // namespace quexa
