#include "data/index_file.h"

#include "data/data_dir_lock.h"
#include "data/sections.h"
#include "data/text_file.h"
#include "data/word_list.h"

namespace quexa {

std::vector<std::string> loadIndexNames(const std::string& dataDir) {
  return sectionNames(readLines(dataDir + kIndexFileName));
}

std::vector<std::string> loadIndexUrls(const std::string& dataDir, const std::string& name) {
  return sectionEntries(readLines(dataDir + kIndexFileName), name);
}

IndexChoice chooseIndex(const std::string& dataDir, const std::string& name) {
  IndexChoice choice;
  // An empty name keeps the word list (the "[]" section's texts are added to
  // it) and empties the address list instead.
  choice.clearWordList = !name.empty();
  choice.clearListCategory = name.empty();
  choice.words = loadWordList(dataDir, name);
  // The editor's placeholder keeps the previous addresses and search texts;
  // the addresses of such a section are added to them.
  if (name != kUnknownIndex) {
    choice.clearListCategory = true;
    choice.clearSearchBoxes = true;
  }
  choice.urls = loadIndexUrls(dataDir, name);
  return choice;
}

void appendIndexSection(const std::string& dataDir, const std::string& name,
                        const std::vector<std::string>& urls) {
  const DataDirLock lock(dataDir);
  std::vector<std::string> section{sectionHeader(name)};
  for (auto& url : nonEmptyLines(urls)) section.push_back(std::move(url));
  appendLines(dataDir + kIndexFileName, section);
}

void replaceIndexSection(const std::string& dataDir, const std::string& name,
                         const std::vector<std::string>& urls) {
  const DataDirLock lock(dataDir);
  const std::string path = dataDir + kIndexFileName;
  rewriteLines(path, dataDir + kIndexTempName,
               replaceSection(readLines(path), sectionHeader(name), urls));
}

void deleteIndexSection(const std::string& dataDir, const std::string& name) {
  const DataDirLock lock(dataDir);
  const std::string path = dataDir + kIndexFileName;
  rewriteLines(path, dataDir + kIndexTempName, deleteSection(readLines(path), sectionHeader(name)));
}

}  // namespace quexa
