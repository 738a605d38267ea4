// The window's event pump: a running search calls it at its yield points so
// that Stop, the close box and the lamp timer still run.
#pragma once

#include "net/fetcher.h"

namespace quexa {

class QtEventPump : public EventPump {
 public:
  void pump() override;
};

}  // namespace quexa
