// The indexes: named lists of site URLs, sections of qxindex.ini.
#pragma once

#include <string>
#include <vector>

namespace quexa {

inline constexpr const char* kIndexFileName = "qxindex.ini";
inline constexpr const char* kIndexTempName = "cattemp.st~";
inline constexpr const char* kUnknownIndex = "Unknown Index";

// Every header's name in file order (creating the file when missing).
std::vector<std::string> loadIndexNames(const std::string& dataDir);

// The trimmed, non-empty address lines of every section named exactly name,
// in file order, read with the section rules of the index choice.
std::vector<std::string> loadIndexUrls(const std::string& dataDir, const std::string& name);

// What choosing a name in searchCat does to the main window's lists.
struct IndexChoice {
  bool clearWordList = false;      // then wordList = words
  bool clearListCategory = false;  // listCategory emptied before urls are added
  bool clearSearchBoxes = false;   // the four search boxes emptied
  std::vector<std::string> words;  // loadWordList(name)
  std::vector<std::string> urls;   // added to listCategory
};
IndexChoice chooseIndex(const std::string& dataDir, const std::string& name);

// The index editor's file operations.
void appendIndexSection(const std::string& dataDir, const std::string& name,
                        const std::vector<std::string>& urls);
void replaceIndexSection(const std::string& dataDir, const std::string& name,
                         const std::vector<std::string>& urls);
void deleteIndexSection(const std::string& dataDir, const std::string& name);

}  // namespace quexa
