// Failures inside the searches and result commands. Each carries the number
// the window shows in its "Operation Error" dialog; the handlers dispatch on
// the kind.
#pragma once

#include <stdexcept>
#include <string>

namespace quexa {

enum class ErrorKind {
  OutOfMemory,         // 7
  OutOfStringSpace,    // 14
  OutOfStackSpace,     // 28
  FileNotFound,        // 53
  DeviceIO,            // 57
  DiskFull,            // 61
  PrinterError,        // 68
  DiskNotReady,        // 71
  PathNotFound,        // 76
  LibraryNotLoadable,  // 298
  PrinterDriver,       // 482 or 483
  ControlOutOfMemory,  // 31001
  LoadFromFile,        // 31037
  SaveToFile,          // 31306
  Timeout,             // 35761, the transfer's request time-out
  Other,               // anything else: ends the action without a message
};

// The platform number of a kind (Other is 5, "invalid procedure call").
int errorNumber(ErrorKind kind);

class QuexaError : public std::runtime_error {
 public:
  QuexaError(ErrorKind kind, const std::string& what);
  QuexaError(ErrorKind kind, int number, const std::string& what);
  ErrorKind kind() const { return kind_; }
  int number() const { return number_; }

 private:
  ErrorKind kind_;
  int number_;
};

// Maps a C++ failure that is not a QuexaError onto the table's kinds
// (std::bad_alloc is out of memory, a filesystem error by its errno, ...).
ErrorKind classifyCurrentException();

// How a search, page view or linked-page search ended.
enum class EndReason {
  Completed,  // ran to its end, or stopped by Maximum Sites
  Stopped,    // the user's stop request was seen
  Failed,     // a failure ended it (time-outs used up, transfer error, Ignore, ...)
};

// Thrown inside a driver to leave it for its end sequence.
class SearchEnd : public std::exception {
 public:
  explicit SearchEnd(EndReason reason) : reason_(reason) {}
  EndReason reason() const { return reason_; }
  const char* what() const noexcept override { return "search ended"; }

 private:
  EndReason reason_;
};

// Runs a driver's body to its end and tells how it ended: a SearchEnd gives
// its reason; anything else that got past the error policy is a failure,
// never a normal end.
template <typename Body>
EndReason runToEnd(Body&& body) {
  try {
    return body();
  } catch (const SearchEnd& end) {
    return end.reason();
  } catch (...) {
    return EndReason::Failed;
  }
}

}  // namespace quexa
