#include "results/rich_text.h"

#include <iterator>

namespace quexa {

void appendRun(Paragraph& paragraph, std::string_view text, const RunFormat& format) {
  if (text.empty()) return;
  if (!paragraph.runs.empty() && paragraph.runs.back().format == format)
    paragraph.runs.back().text.append(text);
  else
    paragraph.runs.push_back(TextRun{std::string(text), format});
}

void appendRichText(RichText& pane, RichText&& inserted) {
  if (inserted.paragraphs.empty()) return;
  if (pane.paragraphs.empty()) pane.paragraphs.emplace_back();
  Paragraph& last = pane.paragraphs.back();
  for (TextRun& run : inserted.paragraphs.front().runs) {
    if (!last.runs.empty() && last.runs.back().format == run.format)
      last.runs.back().text.append(run.text);
    else
      last.runs.push_back(std::move(run));
  }
  pane.paragraphs.insert(pane.paragraphs.end(),
                         std::make_move_iterator(inserted.paragraphs.begin() + 1),
                         std::make_move_iterator(inserted.paragraphs.end()));
}

std::string plainText(const RichText& text) {
  std::string out;
  for (size_t i = 0; i < text.paragraphs.size(); ++i) {
    if (i > 0) out += '\n';
    for (const TextRun& run : text.paragraphs[i].runs) out += run.text;
  }
  return out;
}

}  // namespace quexa
