// Reads the RTF documents of the result panes into RichText: the six
// documents, the matched text of the matching library and RTF files in
// general. Unknown control words and destinations are passed over; broken
// input (unbalanced braces, cut-off control words, huge numbers) never
// fails, it just yields what could be read. Linear in the input.
#pragma once

#include <string_view>

#include "results/rich_text.h"

namespace quexa {

// Text that does not start with "{\rtf" is taken as plain text, one
// paragraph per line.
RichText readRtf(std::string_view rtf);

// The pane's insert at the caret, with the caret at the end: the document is
// read and appended (its first paragraph continues the pane's last one).
void appendRtf(RichText& pane, std::string_view rtf);

}  // namespace quexa
