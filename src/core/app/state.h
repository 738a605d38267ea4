// The state that the main window, the searches and the result commands share
// for the whole run. One instance, owned by the front end.
#pragma once

#include <cstdint>
#include <string>

#include "search/engines/hit_store.h"

namespace quexa {

inline constexpr size_t kMatchBufferSize = 51200;

struct AppState {
  std::string dataDir;        // the current directory at start-up, with '/'
  int16_t stopRequest = 0;    // the user asked the running search to stop
  int32_t searchRunning = 0;  // a site or engine search (or a one-page view) runs
  int16_t resetResults = 0;   // "&Main" was pressed: the next search clears the tree
  int32_t paneBusy = 0;       // a writer is filling dispResult
  std::string foundStatus = "Found: 0";
  std::string linkStatus = "Links: 0/0";
  std::string matchBuffer = std::string(kMatchBufferSize, ' ');
  EngineHitStore engineHitBuffer;
  std::string selectedPageUrl;
};

// The data directory for a current directory: the path with one '/' at its end.
std::string dataDirFor(const std::string& currentDirectory);

}  // namespace quexa
