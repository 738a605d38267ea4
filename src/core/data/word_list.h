// The saved search texts: one section per index in qxword.ini, one flat list
// in qxwordeg.ini for the engine mode. dataDir ends with '/'.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace quexa {

inline constexpr const char* kWordFileName = "qxword.ini";
inline constexpr const char* kEngineWordFileName = "qxwordeg.ini";
inline constexpr const char* kWordTempName = "texttemp.st~";

// The entries loadWordList would add to wordList for this index, in file order.
std::vector<std::string> loadWordList(const std::string& dataDir, const std::string& indexName);
// Every line of qxwordeg.ini, trimmed (blank lines give empty entries).
std::vector<std::string> loadEngineWordList(const std::string& dataDir);
// Writes the list back: qxwordeg.ini when engineMode, otherwise the section
// "[" + searchCatText + "]" of qxword.ini (appended when new, else rewritten).
void saveWordList(const std::string& dataDir, bool engineMode, const std::string& searchCatText,
                  const std::vector<std::string>& list);

// Deletes the section "[" + name + "]" from qxword.ini (the index editor).
void deleteWordSection(const std::string& dataDir, const std::string& name);

// The word list control: kept sorted, entries compared exactly.
class WordList {
 public:
  void clear() { entries_.clear(); }
  void add(const std::string& entry);  // sorted insertion, duplicates allowed
  void addAll(const std::vector<std::string>& entries);
  void removeAt(size_t index);
  bool contains(const std::string& entry) const;
  const std::vector<std::string>& entries() const { return entries_; }

 private:
  std::vector<std::string> entries_;
};

// ">>": each non-empty box not yet in the list is added (boxes 0..3 in order).
// Returns whether the list changed (the caller saves it either way).
bool addSearchTexts(WordList& list, const std::array<std::string, 4>& boxes);

// "<<": the box the selected entry goes to, or -1 for nothing to do; sets
// allFull when all four boxes hold text (the caller shows "Please delete the
// text in the field you want to copy to!").
int copyTargetBox(const std::array<std::string, 4>& boxes, const std::string& entry, bool& allFull);

// Leaving a box: every box trimmed; true for a box left holding one letter
// A-Z or a-z (the caller shows "Search of single letter is invalid!" and
// empties it).
std::array<bool, 4> trimBoxesAndFindSingleLetters(std::array<std::string, 4>& boxes);

}  // namespace quexa
