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

}  // namespace quexa
