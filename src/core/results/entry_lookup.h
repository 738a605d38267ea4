// The View command's entry lookup on "View All Web Sites": which entry of
// the all-results pane the caret stands in, read back from the pane's plain
// text against the entry layouts of the documents.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quexa {

enum class EntryLayout {
  Site,  // "My Web Sites": number, URL, five blanks
  Hit,   // "Web Engines": number and title, later "(" URL ")" and five blanks
};

// Visits the entries in the order of their numbers: entry 1 always, entry k
// (k >= 2) while its number ("k. ", searched at or after the previous one)
// starts before the caret. The result is the URL of the last visited entry
// whose URL could be read, or selectedPageUrl unchanged when none could.
//
// caret counts UTF-16 code units of plainText (as a Qt text cursor does),
// 0 for the start; a caret beyond the end stands at the end.
std::string pickEntryUrl(std::string_view plainText, size_t caret, EntryLayout layout,
                         std::string_view selectedPageUrl);

}  // namespace quexa
