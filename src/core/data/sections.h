// The rules shared by qxword.ini and qxindex.ini: reading one section's lines
// and the two whole-file rewrites (replace a section, delete a section).
#pragma once

#include <string>
#include <vector>

namespace quexa {

// "[" + name + "]", the line a section is saved under and compared with exactly.
std::string sectionHeader(const std::string& name);

// Every header's name, in file order.
std::vector<std::string> sectionNames(const std::vector<std::string>& lines);

// The trimmed, non-empty lines of every section named exactly name. A line
// holding both brackets in any order ends the current section, and a line
// (or a header's name) equal to name is never taken.
std::vector<std::string> sectionEntries(const std::vector<std::string>& lines,
                                        const std::string& name);

// The file's lines with every section whose header line equals header
// exactly given the non-empty entries instead of its old lines. The section
// keeps its place; the lines after the next header-like line are copied.
std::vector<std::string> replaceSection(const std::vector<std::string>& lines,
                                        const std::string& header,
                                        const std::vector<std::string>& entries);

// The file's lines without the section whose header line equals header.
std::vector<std::string> deleteSection(const std::vector<std::string>& lines,
                                       const std::string& header);

// Non-empty entries, one line each, in their order.
std::vector<std::string> nonEmptyLines(const std::vector<std::string>& entries);

// Sorted insertion in plain byte order (the sorted list controls); an entry
// equal to others goes after them. Returns the position it took.
size_t insertSorted(std::vector<std::string>& list, const std::string& entry);

// The same as inserting each entry in turn, in O(n log n) rather than
// quadratic time: the entries are sorted once and merged in after the equal
// ones already listed.
void insertAllSorted(std::vector<std::string>& list, std::vector<std::string> entries);

}  // namespace quexa
