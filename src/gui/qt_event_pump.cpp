#include "qt_event_pump.h"

#include <QCoreApplication>

namespace quexa {

void QtEventPump::pump() {
  // A search yields after every link it examines; letting the window lay
  // out and paint a long result tree at each of them would cost the square
  // of the hits. A turn every 20 ms is as live to the person using it.
  const auto now = std::chrono::steady_clock::now();
  if (now - lastTurn_ < kTurn) return;
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  lastTurn_ = std::chrono::steady_clock::now();
}

}  // namespace quexa
