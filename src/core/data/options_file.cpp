#include "data/options_file.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/text.h"
#include "data/data_dir_lock.h"
#include "data/sections.h"
#include "data/text_file.h"

namespace quexa {

namespace {

constexpr const char* kSection = "Options";
constexpr const char* kConnectionsKey = "connections";
constexpr const char* kLinksKey = "links";
constexpr const char* kRobotsKey = "robots";
constexpr const char* kCheckHitsKey = "checkhits";
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
    const std::string key = keyOf(entry);
    const std::string value = valueOf(entry);
    int64_t n = 0;
    if (key == kConnectionsKey && parseWholeNumber(value, n))
      options.connections = connectionsInRange(n);
    else if (key == kLinksKey && (value == "standard" || value == "classic"))
      options.standardLinks = value == "standard";
    else if (key == kRobotsKey && (value == "ignore" || value == "honour"))
      options.ignoreRobots = value == "ignore";
    else if (key == kCheckHitsKey && (value == "1" || value == "0"))
      options.checkHits = value == "1";
  }
  return options;
}

void saveOptions(const std::string& dataDir, const Options& options) {
  const DataDirLock lock(dataDir);
  const std::string path = dataDir + kOptionsFileName;
  const std::vector<std::string> lines = readLines(path);
  std::vector<std::string> entries;
  // The choices are written once they differ from their default or once the
  // file names them, so a file that never named them stays as it was.
  const std::string ours[] = {kConnectionsKey, kLinksKey, kRobotsKey, kCheckHitsKey};
  std::vector<std::string> named;
  for (const std::string& entry : sectionEntries(lines, kSection)) {
    const std::string key = keyOf(entry);
    if (std::find(std::begin(ours), std::end(ours), key) == std::end(ours))
      entries.push_back(entry);
    else
      named.push_back(key);
  }
  const auto put = [&](const char* key, bool chosen, const char* yes, const char* no) {
    if (chosen || std::find(named.begin(), named.end(), key) != named.end())
      entries.push_back(std::string(key) + "=" + (chosen ? yes : no));
  };
  entries.push_back(std::string(kConnectionsKey) + "=" +
                    std::to_string(connectionsInRange(options.connections)));
  put(kLinksKey, options.standardLinks, "standard", "classic");
  put(kRobotsKey, options.ignoreRobots, "ignore", "honour");
  put(kCheckHitsKey, options.checkHits, "1", "0");

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
