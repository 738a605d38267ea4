// The content of a result pane in a form the window can render without any
// RTF of its own: paragraphs of formatted runs. The RTF reader produces it,
// the writer turns it back into one RTF document ("Sa&ve").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quexa {

struct Rgb {
  uint8_t red = 0;
  uint8_t green = 0;
  uint8_t blue = 0;
  bool operator==(const Rgb&) const = default;
};

struct RunFormat {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  int fontSizeHalfPoints = 24;  // \fs18 is 9 points
  std::string fontName;         // empty when the document names no font
  Rgb color;
  bool operator==(const RunFormat&) const = default;
};

struct TextRun {
  std::string text;  // UTF-8, never holds a line break
  RunFormat format;
  bool operator==(const TextRun&) const = default;
};

struct Paragraph {
  std::vector<TextRun> runs;  // neighbouring runs differ in format
  bool operator==(const Paragraph&) const = default;
};

// Every \par ends a paragraph, so a document always has one paragraph more
// than it has paragraph ends; the last one is where the caret continues.
struct RichText {
  std::vector<Paragraph> paragraphs = std::vector<Paragraph>(1);
  bool operator==(const RichText&) const = default;
};

// Adds text in a format at the end of the paragraph, joining the last run
// when the format is the same.
void appendRun(Paragraph& paragraph, std::string_view text, const RunFormat& format);

// Inserting a document at the caret at the end of a pane: its first
// paragraph continues the pane's last one, the others follow. Costs the size
// of the inserted document only.
void appendRichText(RichText& pane, RichText&& inserted);

// The pane's plain text: the paragraphs joined by "\n".
std::string plainText(const RichText& text);

}  // namespace quexa
