#include "app/state.h"

namespace quexa {

std::string dataDirFor(const std::string& currentDirectory) {
  if (!currentDirectory.empty() && currentDirectory.back() == '/') return currentDirectory;
  return currentDirectory + "/";
}

}  // namespace quexa
