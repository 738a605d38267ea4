#include "qt_event_pump.h"

#include <QCoreApplication>

namespace quexa {

void QtEventPump::pump() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace quexa
