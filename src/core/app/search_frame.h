// The frame around every search: the input checks, the start and end
// sequences, Stop and the stop-first guard. The site search, the engine
// search and the result commands call these steps at the places they name.
#pragma once

#include "app/controls.h"
#include "app/errors.h"
#include "app/state.h"
#include "app/window.h"

namespace quexa {

class Fetcher;

enum class SearchKind { Sites, Engines };

// Start steps 1 and 2: "Initializing ....." and the input checks with their
// message boxes. Returns false (nothing else changed) when a check fails.
// userEngineTicked: one of the user's engines counts as a ticked engine.
bool checkSearchInputs(const MainControls& controls, SearchKind kind, Window& window,
                       bool userEngineTicked = false);

// Start steps 3 to 5: searchRunning, the hidden search frame, the busy lamp
// and the switched controls.
void enterRunningState(AppState& state, Window& window);

// Start steps 7 to 9: both panes emptied, stopRequest cleared, the status
// texts reset, searchPage off, the hit store emptied, and the tree and page
// pane cleared when resetResults is set.
void resetForSearch(AppState& state, Window& window);

// "Found: " with the count in Str() form, shown and kept in foundStatus.
void showFoundCount(AppState& state, Window& window, int32_t foundCount);

// The end sequence, however the search ended. A failure is reported like a
// stop: the status line never claims a normal end it did not have.
void endSearch(AppState& state, Window& window, Fetcher& fetcher, EndReason reason);

// "S&top": sets the stop request, shows the closing message and the hourglass.
void searchStop(AppState& state, Window& window);

// True when the action may go on; otherwise beeps and shows
// "You must stop the current search first!".
bool stopFirstGuard(const AppState& state, Window& window);

// Status texts of the frame.
inline constexpr const char* kStatusInitializing = "Initializing .....";
inline constexpr const char* kStatusReady = "Ready to search!";
inline constexpr const char* kStatusStopped = "Search was stopped before its completion!";
inline constexpr const char* kStatusClosing = "Please wait while connection is being closed .....";

}  // namespace quexa
