// Writes a pane's content as one RTF document, the file "Sa&ve" writes.
// Reading it back gives the same paragraphs, text and formatting.
#pragma once

#include <string>

#include "results/rich_text.h"

namespace quexa {

std::string writeRtf(const RichText& text);

}  // namespace quexa
