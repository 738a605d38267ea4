#include "data/sections.h"

#include <algorithm>
#include <cstddef>
#include <iterator>

#include "app/text.h"

namespace quexa {

std::string sectionHeader(const std::string& name) {
  return "[" + name + "]";
}

std::vector<std::string> sectionNames(const std::vector<std::string>& lines) {
  std::vector<std::string> names;
  std::string name;
  for (const auto& line : lines)
    if (isHeaderLine(line, &name)) names.push_back(name);
  return names;
}

std::vector<std::string> sectionEntries(const std::vector<std::string>& lines,
                                        const std::string& name) {
  std::vector<std::string> entries;
  bool inSection = false;
  std::string headerName;
  for (const auto& raw : lines) {
    if (inSection && hasBothBrackets(raw)) inSection = false;
    std::string_view line = raw;
    if (isHeaderLine(raw, &headerName)) {
      if (headerName == name) inSection = true;
      line = headerName;
    }
    if (line == name) continue;
    if (!inSection) continue;
    std::string entry = trim(line);
    if (!entry.empty()) entries.push_back(std::move(entry));
  }
  return entries;
}

namespace {

// Copies the lines; at a line equal to header, keepHeader decides whether
// the header and the entries are written, and the old section's lines are
// dropped up to the next header-like line, which is written again.
std::vector<std::string> rewriteSection(const std::vector<std::string>& lines,
                                        const std::string& header, bool keepHeader,
                                        const std::vector<std::string>& entries) {
  std::vector<std::string> out;
  out.reserve(lines.size() + entries.size());
  bool skipping = false;
  for (const auto& line : lines) {
    if (skipping) {
      if (isHeaderLine(line)) {
        out.push_back(line);
        skipping = false;
      }
      continue;
    }
    if (line == header) {
      if (keepHeader) {
        out.push_back(header);
        for (const auto& entry : entries)
          if (!entry.empty()) out.push_back(entry);
      }
      skipping = true;
      continue;
    }
    out.push_back(line);
  }
  return out;
}

}  // namespace

std::vector<std::string> replaceSection(const std::vector<std::string>& lines,
                                        const std::string& header,
                                        const std::vector<std::string>& entries) {
  return rewriteSection(lines, header, true, entries);
}

std::vector<std::string> deleteSection(const std::vector<std::string>& lines,
                                       const std::string& header) {
  return rewriteSection(lines, header, false, {});
}

std::vector<std::string> nonEmptyLines(const std::vector<std::string>& entries) {
  std::vector<std::string> out;
  for (const auto& entry : entries)
    if (!entry.empty()) out.push_back(entry);
  return out;
}

size_t insertSorted(std::vector<std::string>& list, const std::string& entry) {
  // std::string compares as unsigned bytes, so this is the ordinal order.
  auto at = std::upper_bound(list.begin(), list.end(), entry);
  size_t position = static_cast<size_t>(at - list.begin());
  list.insert(at, entry);
  return position;
}

void insertAllSorted(std::vector<std::string>& list, std::vector<std::string> entries) {
  // Equal entries are the same bytes, so the sort need not be stable.
  std::sort(entries.begin(), entries.end());
  const auto middle = static_cast<std::ptrdiff_t>(list.size());
  list.insert(list.end(), std::make_move_iterator(entries.begin()),
              std::make_move_iterator(entries.end()));
  std::inplace_merge(list.begin(), list.begin() + middle, list.end());
}

}  // namespace quexa
