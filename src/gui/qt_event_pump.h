// The window's event pump: a running search calls it at its yield points so
// that Stop, the close box and the lamp timer still run.
#pragma once

#include <chrono>

#include "net/fetcher.h"

namespace quexa {

class QtEventPump : public EventPump {
 public:
  // The window gets to its events when the last turn is this long ago.
  static constexpr std::chrono::milliseconds kTurn{20};

  void pump() override;

 private:
  std::chrono::steady_clock::time_point lastTurn_{};
};

}  // namespace quexa
