// An event pump for tests: counts its calls and runs a scripted step on each
// one (set the stop request, cancel the fetch, ...).
#pragma once

#include <functional>

#include "net/fetcher.h"

namespace quexa::test {

class CountingPump : public EventPump {
 public:
  int count = 0;
  std::function<void(int call)> onPump;
  void pump() override {
    ++count;
    if (onPump) onPump(count);
  }
};

}  // namespace quexa::test
