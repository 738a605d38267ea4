// The one error handler of each search and result command: a failing step
// either shows the "Operation Error" dialog (Abort / Retry / Ignore), is
// skipped, or ends the action quietly.
#pragma once

#include <optional>
#include <string>
#include <utility>

#include "app/errors.h"
#include "app/text.h"
#include "app/window.h"

namespace quexa {

enum class ErrorTable {
  Search,  // site search, engine search, page view
  Print,   // "&Print"
  Save,    // "Sa&ve": the print table without the printer rows
};

// The dialog message for an error number, or nullopt where the table has none.
std::optional<std::string> errorMessage(ErrorTable table, int number);

// The dialog text: message, " (", Str(number), ")".
std::string errorDialogText(const std::string& message, int number);

// Runs one step under the table's policy. Retry runs the step again; Ignore,
// an error without a message and any unexpected failure end the action with
// SearchEnd(Failed); Abort ends the program. A missing file (53) in the
// search table skips the step. SearchEnd itself passes through.
template <typename Step>
void runStep(Window& window, ErrorTable table, Step&& step) {
  for (;;) {
    int number = 0;
    ErrorKind kind = ErrorKind::Other;
    try {
      std::forward<Step>(step)();
      return;
    } catch (const SearchEnd&) {
      throw;
    } catch (const QuexaError& e) {
      kind = e.kind();
      number = e.number();
    } catch (...) {
      kind = classifyCurrentException();
      number = errorNumber(kind);
    }
    if (table == ErrorTable::Search && kind == ErrorKind::FileNotFound) return;
    std::optional<std::string> message = errorMessage(table, number);
    if (!message) throw SearchEnd(EndReason::Failed);
    switch (window.errorDialog(errorDialogText(*message, number))) {
      case ErrorAnswer::Retry:
        continue;
      case ErrorAnswer::Ignore:
        throw SearchEnd(EndReason::Failed);
      case ErrorAnswer::Abort:
        window.abortProgram();
    }
  }
}

}  // namespace quexa
