// The extract of a matching page: its found lines as RTF-ready text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fold_case.h"
#include "visible_text.h"

namespace mzk11 {

struct ExtractRequest {
  const VisibleText* page = nullptr;
  // The text the search texts are looked for in: the page's text itself, or
  // its case-folded copy with the way back to the page's positions.
  std::string_view searchable;
  const PositionMap* positions = nullptr;  // none: the same positions as the page
  std::vector<std::string> shownTexts;     // the positive texts, in searchable form
  size_t contextLines = 0;
  size_t maxLines = 30;
  bool highlight = true;
  size_t capacity = 0;  // bytes for the text and its closing NUL
};

struct Extract {
  std::string rtf;  // at most capacity - 1 bytes
  int32_t lines = 0;
};

// The lines that hold one of the shown texts, with their context, in page
// order, at most maxLines of them.
std::vector<size_t> extractLines(const ExtractRequest& request);

Extract buildExtract(const ExtractRequest& request);

enum class LineFit { Whole, Shortened, Nothing };

// Escapes one line for an RTF group, marks the spans in bold red and ends it
// with "\par ". Within `budget` bytes: a line that does not fit stops at its
// last whole character that still leaves room for its end; Nothing (and
// `out` unchanged) when not even the line end fits.
LineFit appendRtfLine(std::string& out, std::string_view line,
                      const std::vector<std::pair<size_t, size_t>>& spans, size_t budget);

}  // namespace mzk11
