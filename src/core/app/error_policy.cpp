#include "app/error_policy.h"

namespace quexa {

namespace {
constexpr const char* kNoMemory = "No enough memory! Please close some applications!";
// The stack and string-space rows carry their own spelling.
constexpr const char* kNoMemoryColse = "No enough memory! Please colse some applications!";
constexpr const char* kBadDirectories =
    "Some directories in current index are invalid! Please rebuild index!";
}  // namespace

std::optional<std::string> errorMessage(ErrorTable table, int number) {
  const bool print = table != ErrorTable::Search;
  const bool printer = table == ErrorTable::Print;
  switch (number) {
    case 7:
    case 298:
    case 31001:
      return kNoMemory;
    case 14:
    case 28:
      return kNoMemoryColse;
    case 53:
      return print ? std::optional<std::string>(kBadDirectories) : std::nullopt;
    case 57:
      return "Device I/O is not ready!";
    case 61:
      return print ? std::optional<std::string>("Disk full! Please free some disk space!")
                   : std::nullopt;
    case 68:
      return printer ? std::optional<std::string>("Printer is not ready!") : std::nullopt;
    case 71:
      return "Disk not ready!";
    case 76:
      return kBadDirectories;
    case 482:
    case 483:
      return printer ? std::optional<std::string>("Printer is not working properly!")
                     : std::nullopt;
    case 31037:
      return print ? "Fail to load file! COntack your software ventor!"
                   : "Fail to load file! Contack your software ventor!";
    case 31306:
      return print ? std::optional<std::string>("Fail to save file! Please free some disk space!")
                   : std::nullopt;
    default:
      return std::nullopt;
  }
}

std::string errorDialogText(const std::string& message, int number) {
  std::string text = message;
  text += " (";
  text += str(number);
  text += ')';
  return text;
}

}  // namespace quexa
