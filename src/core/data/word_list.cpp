#include "data/word_list.h"

#include <algorithm>
#include <cstddef>

#include "app/text.h"
#include "data/data_dir_lock.h"
#include "data/sections.h"
#include "data/text_file.h"

namespace quexa {

std::vector<std::string> loadWordList(const std::string& dataDir, const std::string& indexName) {
  return sectionEntries(readLines(dataDir + kWordFileName), indexName);
}

std::vector<std::string> loadEngineWordList(const std::string& dataDir) {
  std::vector<std::string> entries;
  for (const auto& line : readLines(dataDir + kEngineWordFileName)) entries.push_back(trim(line));
  return entries;
}

void saveWordList(const std::string& dataDir, bool engineMode, const std::string& searchCatText,
                  const std::vector<std::string>& list) {
  const DataDirLock lock(dataDir);
  const std::string tempPath = dataDir + kWordTempName;
  if (engineMode) {
    rewriteLines(dataDir + kEngineWordFileName, tempPath, nonEmptyLines(list));
    return;
  }
  const std::string path = dataDir + kWordFileName;
  const std::string header = sectionHeader(searchCatText);
  const std::vector<std::string> lines = readLines(path);
  const bool headerPresent = std::find(lines.begin(), lines.end(), header) != lines.end();
  if (!headerPresent && !list.empty()) {
    std::vector<std::string> section{header};
    for (auto& entry : nonEmptyLines(list)) section.push_back(std::move(entry));
    appendLines(path, section);
    return;
  }
  rewriteLines(path, tempPath, replaceSection(lines, header, list));
}

void deleteWordSection(const std::string& dataDir, const std::string& name) {
  const DataDirLock lock(dataDir);
  const std::string path = dataDir + kWordFileName;
  rewriteLines(path, dataDir + kWordTempName, deleteSection(readLines(path), sectionHeader(name)));
}

void WordList::add(const std::string& entry) {
  insertSorted(entries_, entry);
}

void WordList::addAll(const std::vector<std::string>& entries) {
  insertAllSorted(entries_, entries);
}

void WordList::removeAt(size_t index) {
  if (index < entries_.size())
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
}

bool WordList::contains(const std::string& entry) const {
  return std::binary_search(entries_.begin(), entries_.end(), entry);
}

bool addSearchTexts(WordList& list, const std::array<std::string, 4>& boxes) {
  bool changed = false;
  for (const auto& text : boxes) {
    if (text.empty() || list.contains(text)) continue;
    list.add(text);
    changed = true;
  }
  return changed;
}

int copyTargetBox(const std::array<std::string, 4>& boxes, const std::string& entry,
                  bool& allFull) {
  allFull = std::none_of(boxes.begin(), boxes.end(), [](const auto& b) { return b.empty(); });
  if (allFull) return -1;
  if (std::find(boxes.begin(), boxes.end(), entry) != boxes.end()) return -1;
  for (int i = 0; i < 4; ++i)
    if (boxes[static_cast<size_t>(i)].empty()) return i;
  return -1;
}

std::array<bool, 4> trimBoxesAndFindSingleLetters(std::array<std::string, 4>& boxes) {
  std::array<bool, 4> singleLetter{};
  for (size_t i = 0; i < boxes.size(); ++i) {
    boxes[i] = trim(boxes[i]);
    const std::string& t = boxes[i];
    singleLetter[i] =
        t.size() == 1 && ((t[0] >= 'A' && t[0] <= 'Z') || (t[0] >= 'a' && t[0] <= 'z'));
  }
  return singleLetter;
}

}  // namespace quexa
