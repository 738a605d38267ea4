// What the window's searches and result commands fetch and match with: the
// libcurl fetcher over the chosen number of connections, which keeps the
// window's events flowing while it waits, and the matching library. Made for
// one click and dropped after it.
#pragma once

#include "match/dl_matcher.h"
#include "net/parallel_fetcher.h"
#include "qt_event_pump.h"

namespace quexa {

struct SearchTools {
  explicit SearchTools(int connections) : fetcher(pump, connections) {}

  QtEventPump pump;
  ParallelFetcher fetcher;
  DlMatcher matcher;
};

// Lends a fetcher to Stop while a search, page view or linked search uses
// it, so Stop abandons the transfer under way instead of waiting for it
// (a silent server or a name lookup can hold one for seconds). The one
// lent before comes back when this one is done.
class LentFetcher {
 public:
  LentFetcher(Fetcher*& slot, Fetcher& fetcher) : slot_(slot), previous_(slot) { slot_ = &fetcher; }
  ~LentFetcher() { slot_ = previous_; }
  LentFetcher(const LentFetcher&) = delete;
  LentFetcher& operator=(const LentFetcher&) = delete;

 private:
  Fetcher*& slot_;
  Fetcher* previous_;
};

}  // namespace quexa
