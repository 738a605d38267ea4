// The visible text of a page: what a reader sees once tags, scripts, styles
// and comments are gone, entities decoded, white space made single blanks and
// block tags turned into line ends.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace mzk11 {

// Memory for the visible text of a page, zeroed: a heap block for the usual
// page, a mapping straight from the system for a large one (large pages
// where it offers them), given back whole.
struct MappedRelease {
  size_t size = 0;
  void operator()(char* p) const;
};
using TextBytes = std::unique_ptr<char, MappedRelease>;
// Throws std::bad_alloc when the system has no memory for it.
TextBytes allocateTextBytes(size_t size);

struct VisibleText {
  TextBytes bytes;                 // holds `text`
  std::string_view text;           // the lines, joined by '\n'; none empty, none with outer blanks
  std::vector<size_t> lineStarts;  // offset in `text` of each line

  size_t lineCount() const { return lineStarts.size(); }
  size_t lineEnd(size_t line) const {
    return line + 1 < lineStarts.size() ? lineStarts[line + 1] - 1 : text.size();
  }
  // The line that holds offset `pos` of `text`.
  size_t lineAt(size_t pos) const;
};

// One pass over the page bytes. Never fails on damaged input: an unclosed
// comment, tag or script drops the rest of the page.
VisibleText visibleTextOf(std::string_view page);

}  // namespace mzk11
