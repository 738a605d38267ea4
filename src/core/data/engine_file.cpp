#include "data/engine_file.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <stdexcept>

#include "app/text.h"
#include "data/data_dir_lock.h"
#include "data/sections.h"
#include "data/text_file.h"

namespace quexa {

namespace {

std::string pathOf(const std::string& dataDir) {
  return dataDir + kEngineFileName;
}

// The value of "key=" (key in any letter case), nullopt when absent.
std::optional<std::string> valueOf(const std::vector<std::string>& entries, std::string_view key) {
  for (const std::string& entry : entries) {
    const size_t eq = entry.find('=');
    if (eq == std::string::npos) continue;
    if (lowerSameLength(trim(std::string_view(entry).substr(0, eq))) == key)
      return trim(std::string_view(entry).substr(eq + 1));
  }
  return std::nullopt;
}

int offsetValue(const std::vector<std::string>& entries, std::string_view key) {
  int64_t n = 1;
  const auto text = valueOf(entries, key);
  if (!text || !parseWholeNumber(*text, n) || n < 0 || n > 1000000) return 1;
  return static_cast<int>(n);
}

std::vector<std::string> fileLines(const std::string& dataDir) {
  std::error_code ec;
  if (!std::filesystem::exists(pathOf(dataDir), ec)) return {};
  return readLines(pathOf(dataDir));
}

std::vector<std::string> engineLines(const UserEngine& engine) {
  std::vector<std::string> lines{"url=" + engine.urlTemplate,
                                 "format=" + std::string(formatName(engine.format))};
  if (engine.indexOffset != 1) lines.push_back("indexoffset=" + std::to_string(engine.indexOffset));
  if (engine.pageOffset != 1) lines.push_back("pageoffset=" + std::to_string(engine.pageOffset));
  if (engine.ticked) lines.push_back("ticked=1");
  return lines;
}

}  // namespace

std::vector<UserEngine> loadUserEngines(const std::string& dataDir) {
  const std::vector<std::string> lines = fileLines(dataDir);
  std::vector<UserEngine> engines;
  for (const std::string& name : sectionNames(lines)) {
    bool seen = false;
    for (const UserEngine& e : engines) seen = seen || e.name == name;
    if (seen || !engineNameRefusal(name).empty()) continue;
    const std::vector<std::string> entries = sectionEntries(lines, name);
    const auto url = valueOf(entries, "url");
    const auto format = formatNamed(valueOf(entries, "format").value_or(""));
    if (!url || !format || !templateRefusal(*url).empty()) continue;
    UserEngine e;
    e.name = name;
    e.urlTemplate = *url;
    e.format = *format;
    e.indexOffset = offsetValue(entries, "indexoffset");
    e.pageOffset = offsetValue(entries, "pageoffset");
    e.ticked = valueOf(entries, "ticked").value_or("0") == "1";
    engines.push_back(std::move(e));
  }
  return engines;
}

std::string userEngineRefusal(const std::string& dataDir, const UserEngine& engine) {
  if (std::string why = engineNameRefusal(engine.name); !why.empty()) return why;
  if (std::string why = templateRefusal(engine.urlTemplate); !why.empty()) return why;
  const std::string lower = lowerSameLength(engine.name);
  for (const std::string& name : sectionNames(fileLines(dataDir)))
    if (lowerSameLength(name) == lower) return "An engine named \"" + name + "\" exists already.";
  return "";
}

void addUserEngine(const std::string& dataDir, const UserEngine& engine) {
  // The name test and the append are one change: another writer may add the
  // same name in between.
  const DataDirLock lock(dataDir);
  if (std::string why = userEngineRefusal(dataDir, engine); !why.empty())
    throw std::invalid_argument(why);
  std::vector<std::string> lines{sectionHeader(engine.name)};
  for (std::string& line : engineLines(engine)) lines.push_back(std::move(line));
  appendLines(pathOf(dataDir), lines);
}

bool removeUserEngine(const std::string& dataDir, const std::string& name) {
  const DataDirLock lock(dataDir);
  const std::vector<std::string> lines = fileLines(dataDir);
  const std::string header = sectionHeader(name);
  std::vector<std::string> kept = deleteSection(lines, header);
  if (kept.size() == lines.size()) return false;
  rewriteLines(pathOf(dataDir), dataDir + kEngineTempName, kept);
  return true;
}

bool tickUserEngine(const std::string& dataDir, const std::string& name, bool ticked) {
  const DataDirLock lock(dataDir);
  const std::vector<std::string> lines = fileLines(dataDir);
  const std::vector<std::string> names = sectionNames(lines);
  if (std::find(names.begin(), names.end(), name) == names.end()) return false;
  std::vector<std::string> entries;
  for (const std::string& entry : sectionEntries(lines, name)) {
    const size_t eq = entry.find('=');
    const bool tickLine =
        eq != std::string::npos && lowerSameLength(trim(entry.substr(0, eq))) == "ticked";
    if (!tickLine) entries.push_back(entry);
  }
  if (ticked) entries.push_back("ticked=1");
  rewriteLines(pathOf(dataDir), dataDir + kEngineTempName,
               replaceSection(lines, sectionHeader(name), entries));
  return true;
}

}  // namespace quexa
