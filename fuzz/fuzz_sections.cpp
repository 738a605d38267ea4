// The sectioned files qxindex.ini and qxword.ini with any content: read from
// disk as the window reads them (any line ends, any bytes), every section
// looked up, replaced and deleted in memory, and the file rewritten safely.
// A rewrite of what was read reads back the same lines.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "data/index_file.h"
#include "data/sections.h"
#include "data/text_file.h"
#include "data/word_list.h"
#include "fuzz_input.h"

namespace {

void require(bool ok) {
  if (!ok) std::abort();
}

bool isBlank(char c) {
  return c == ' ';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const quexa::fuzz::ScratchDir& dir = quexa::fuzz::scratch();
  if (dir.path().empty()) return 0;
  const std::string_view file(reinterpret_cast<const char*>(data), size);
  const std::string indexPath = dir.write(quexa::kIndexFileName, file);
  dir.write(quexa::kWordFileName, file);
  dir.write(quexa::kEngineWordFileName, file);

  const std::vector<std::string> lines = quexa::readLines(indexPath);
  const std::vector<std::string> names = quexa::loadIndexNames(dir.path());
  require(names == quexa::sectionNames(lines));

  size_t looked = 0;
  for (const std::string& name : names) {
    if (++looked > 8) break;
    for (const std::string& entry : quexa::sectionEntries(lines, name)) {
      require(!entry.empty() && !isBlank(entry.front()) && !isBlank(entry.back()));
    }
    (void)quexa::loadIndexUrls(dir.path(), name);
    (void)quexa::loadWordList(dir.path(), name);
    (void)quexa::chooseIndex(dir.path(), name);
    const std::string header = quexa::sectionHeader(name);
    (void)quexa::replaceSection(lines, header, {"http://a.example/", "", name});
    require(quexa::deleteSection(lines, header).size() <= lines.size());
  }
  (void)quexa::chooseIndex(dir.path(), quexa::kUnknownIndex);
  (void)quexa::loadEngineWordList(dir.path());

  std::vector<std::string> sorted;
  for (size_t i = 0; i < lines.size() && i < 64; ++i) quexa::insertSorted(sorted, lines[i]);
  for (size_t i = 1; i < sorted.size(); ++i) require(!(sorted[i] < sorted[i - 1]));
  // Sorting a list at once, in two parts, gives what inserting each entry does.
  const size_t taken = std::min<size_t>(lines.size(), 64);
  std::vector<std::string> merged;
  quexa::insertAllSorted(merged, {lines.begin(), lines.begin() + taken / 2});
  quexa::insertAllSorted(merged, {lines.begin() + taken / 2, lines.begin() + taken});
  require(merged == sorted);

  quexa::rewriteLines(indexPath, dir.path() + quexa::kIndexTempName, lines);
  require(quexa::readLines(indexPath) == lines);
  return 0;
}
