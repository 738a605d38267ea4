// The small handlers around the result panes: the click guards that keep a
// running writer's documents in order, the status label of a tab switch and
// "&Found".
#pragma once

#include <string>

#include "app/state.h"
#include "app/window.h"

namespace quexa {

// allWebResult_Click and _DblClick. While a search runs the click beeps and
// the caller must move the pane's caret back to the end of its text (the
// next document is inserted at the caret). Returns whether to move it.
bool allWebResult_Click(const AppState& state, Window& window);

// dispResult_Click and _DblClick: the same while a writer fills the page pane.
bool dispResult_Click(const AppState& state, Window& window);

// The tabs of dispTab, in their order.
enum class ResultTab { AllWebSites = 0, EachWebSite = 1 };

// What lblResult shows for the shown tab: in "Web Engines" mode the found
// status on "View All Web Sites" and the links status on "View Each Web
// Site"; in "My Web Sites" mode always the found status.
const std::string& dispTabLabel(const AppState& state, bool frameMineEnabled, ResultTab shown);

// dispTab_Click's label, after the caller has arranged the panes.
void dispTab_Click(const AppState& state, Window& window, bool frameMineEnabled, ResultTab shown);

// viewPrev_Click ("&Found"): the result view, with the set-up commands off.
void viewPrev_Click(Window& window);

}  // namespace quexa
