#include "help_file.h"

#include <filesystem>
#include <system_error>

namespace quexa {

namespace fs = std::filesystem;

namespace {
bool isFile(const std::string& path) {
  std::error_code error;
  return fs::is_regular_file(path, error);
}
}  // namespace

std::string helpDocument(const std::string& dataDir, const std::vector<std::string>& manuals) {
  const std::string helpFile = dataDir + "quexa.hlp";
  if (isFile(helpFile)) return helpFile;
  for (const auto& manual : manuals)
    if (isFile(manual)) return manual;
  return {};
}

std::vector<std::string> manualCandidates(const std::string& programDir) {
  const fs::path program(programDir);
  // This file sits in src/gui of the source tree.
  const fs::path sourceTree = fs::path(__FILE__).parent_path().parent_path().parent_path();
  return {
      (program / "manual.html").string(),
      (program / "docs" / "manual.html").string(),
      (program.parent_path() / "share" / "doc" / "quexa" / "manual.html").string(),
      (sourceTree / "docs" / "manual.html").string(),
  };
}

}  // namespace quexa
