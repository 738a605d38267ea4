#include "data/options_file.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/text.h"
#include "data/sections.h"
#include "data/text_file.h"

namespace quexa {

namespace {

constexpr const char* kSection = "Options";
constexpr const char* kConnectionsKey = "connections";
constexpr int kFewestConnections = 1;
constexpr int kMostConnections = 16;

int connectionsInRange(int64_t n) {
  return static_cast<int>(std::clamp<int64_t>(n, kFewestConnections, kMostConnections));
}

// The key of a "key=value" entry, trimmed; "" when the entry has no "=".
std::string keyOf(const std::string& entry) {
  const size_t eq = entry.find('=');
  return eq == std::string::npos ? std::string() : trim(entry.substr(0, eq));
}

std::string valueOf(const std::string& entry) {
  return trim(entry.substr(entry.find('=') + 1));
}

}  // namespace

Options loadOptions(const std::string& dataDir) {
  Options options;
  const std::vector<std::string> lines = readLines(dataDir + kOptionsFileName);
  for (const std::string& entry : sectionEntries(lines, kSection)) {
    int64_t n = 0;
    if (keyOf(entry) == kConnectionsKey && parseWholeNumber(valueOf(entry), n))
      options.connections = connectionsInRange(n);
  }
  return options;
}

void saveOptions(const std::string& dataDir, const Options& options) {
  const std::string path = dataDir + kOptionsFileName;
  const std::vector<std::string> lines = readLines(path);
  std::vector<std::string> entries;
  for (const std::string& entry : sectionEntries(lines, kSection))
    if (keyOf(entry) != kConnectionsKey) entries.push_back(entry);
  entries.push_back(std::string(kConnectionsKey) + "=" +
                    std::to_string(connectionsInRange(options.connections)));

  const std::vector<std::string> names = sectionNames(lines);
  std::vector<std::string> rewritten;
  if (std::find(names.begin(), names.end(), kSection) != names.end()) {
    rewritten = replaceSection(lines, sectionHeader(kSection), entries);
  } else {
    rewritten = nonEmptyLines(lines);
    rewritten.push_back(sectionHeader(kSection));
    rewritten.insert(rewritten.end(), entries.begin(), entries.end());
  }
  rewriteLines(path, dataDir + kOptionsTempName, rewritten);
}

}  // namespace quexa
