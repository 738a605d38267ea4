// What the result commands that fetch a page (the page view and the
// linked-page search) work with. The front end owns every part; a command
// only borrows them for one click.
#pragma once

#include <functional>
#include <string>

#include "app/state.h"
#include "app/window.h"
#include "match/matcher.h"
#include "net/fetcher.h"

namespace quexa {

struct ResultTools {
  AppState& state;
  Window& window;
  Fetcher& fetcher;
  EventPump& pump;
  Matcher& matcher;
  // Called before every request attempt (the command line records each one).
  std::function<void(const std::string& url)> onAttempt = {};
};

}  // namespace quexa
