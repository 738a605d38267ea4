// The platform calls of the result commands that leave the window: the
// printer dialog, the save dialog and the browser. Unset, the real ones
// run; tests and scripted runs answer in their place.
#pragma once

#include <QString>
#include <functional>

class QPrinter;
class QUrl;

namespace quexa {

struct ResultHooks {
  // The printer dialog over this printer; false when the user cancelled.
  // selectionChosen: the dialog opens with its selection choice set.
  std::function<bool(QPrinter& printer, bool selectionChosen)> choosePrinter;
  // The save dialog; the chosen file name, or empty when cancelled.
  std::function<QString()> chooseSaveFile;
  // Opens a page in the user's browser; false when no program took it.
  std::function<bool(const QUrl& url)> openUrl;
};

}  // namespace quexa
