#include "rtf_extract.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "utf8.h"

namespace mzk11 {

namespace {

constexpr std::string_view kHighlightOpen = "{\\b\\cf1 ";
constexpr std::string_view kHighlightClose = "}";
constexpr std::string_view kLineEnd = "\\par ";
constexpr char32_t kReplacement = 0xFFFD;

using Span = std::pair<size_t, size_t>;  // [begin, end) in a line

struct Utf8Char {
  char32_t cp;
  size_t length;
};

// One character at the front of `s`; a byte that starts no valid sequence is
// U+FFFD of length 1.
Utf8Char decodeChar(std::string_view s) {
  char32_t cp = 0;
  const size_t length = decodeUtf8(s.data(), s.size(), cp);
  return length == 0 ? Utf8Char{kReplacement, 1} : Utf8Char{cp, length};
}

void appendUnicodeUnit(std::string& out, uint16_t unit) {
  int n = unit <= 0x7FFF ? unit : static_cast<int>(unit) - 0x10000;
  out += "\\u";
  out += std::to_string(n);
  out += '?';
}

// The RTF form of one character.
void appendRtfChar(std::string& out, Utf8Char ch) {
  char32_t cp = ch.cp;
  if (cp < 0x80) {
    if (cp == '\\' || cp == '{' || cp == '}') out += '\\';
    out += (cp < 0x20 || cp == 0x7F) ? ' ' : static_cast<char>(cp);
  } else if (cp < 0x10000) {
    appendUnicodeUnit(out, static_cast<uint16_t>(cp));
  } else {
    char32_t v = cp - 0x10000;
    appendUnicodeUnit(out, static_cast<uint16_t>(0xD800 + (v >> 10)));
    appendUnicodeUnit(out, static_cast<uint16_t>(0xDC00 + (v & 0x3FF)));
  }
}

size_t toPage(const ExtractRequest& r, size_t searchable) {
  return r.positions ? r.positions->toPage(searchable) : searchable;
}
size_t toSearchable(const ExtractRequest& r, size_t page) {
  return r.positions ? r.positions->toFolded(page) : page;
}

// Where the shown texts occur in one line, merged where they touch.
std::vector<Span> highlightSpans(std::string_view line, const std::vector<std::string>& texts) {
  std::vector<Span> spans;
  for (const std::string& t : texts) {
    for (size_t at = line.find(t); at != std::string_view::npos; at = line.find(t, at + t.size()))
      spans.emplace_back(at, at + t.size());
  }
  std::sort(spans.begin(), spans.end());
  std::vector<Span> merged;
  for (const Span& s : spans) {
    if (!merged.empty() && s.first <= merged.back().second)
      merged.back().second = std::max(merged.back().second, s.second);
    else
      merged.push_back(s);
  }
  return merged;
}

// The first `limit` distinct lines holding `text`, in page order.
void collectLinesHolding(const ExtractRequest& r, const std::string& text, size_t limit,
                         std::vector<size_t>& lines) {
  std::string_view hay = r.searchable;
  size_t found = 0;
  size_t from = 0;
  while (found < limit && from < hay.size()) {
    const void* hit = memmem(hay.data() + from, hay.size() - from, text.data(), text.size());
    if (!hit) return;
    const size_t at = static_cast<size_t>(static_cast<const char*>(hit) - hay.data());
    const size_t line = r.page->lineAt(toPage(r, at));
    lines.push_back(line);
    ++found;
    from = toSearchable(r, r.page->lineEnd(line)) + 1;  // one mark a line is enough
  }
}

}  // namespace

std::vector<size_t> extractLines(const ExtractRequest& r) {
  std::vector<size_t> found;
  for (const std::string& t : r.shownTexts) collectLinesHolding(r, t, r.maxLines, found);
  std::sort(found.begin(), found.end());
  found.erase(std::unique(found.begin(), found.end()), found.end());
  // Later found lines cannot bring context lines before the first maxLines.
  if (found.size() > r.maxLines) found.resize(r.maxLines);
  std::vector<size_t> shown;
  const size_t count = r.page->lineCount();
  for (size_t line : found) {
    size_t first = line >= r.contextLines ? line - r.contextLines : 0;
    size_t last = std::min(count - 1, line + std::min(r.contextLines, count));
    for (size_t k = std::max(first, shown.empty() ? 0 : shown.back() + 1); k <= last; ++k)
      shown.push_back(k);
  }
  if (shown.size() > r.maxLines) shown.resize(r.maxLines);
  return shown;
}

LineFit appendRtfLine(std::string& out, std::string_view line, const std::vector<Span>& spans,
                      size_t budget) {
  const size_t start = out.size();
  std::string piece;
  size_t spanIndex = 0;
  bool inHighlight = false;
  size_t pos = 0;
  while (pos < line.size()) {
    Utf8Char ch = decodeChar(line.substr(pos));
    while (spanIndex < spans.size() && spans[spanIndex].second <= pos) ++spanIndex;
    bool marked = spanIndex < spans.size() && spans[spanIndex].first < pos + ch.length;
    piece.clear();
    if (marked != inHighlight) piece += marked ? kHighlightOpen : kHighlightClose;
    appendRtfChar(piece, ch);
    size_t closing = (marked ? kHighlightClose.size() : 0) + kLineEnd.size();
    if (out.size() - start + piece.size() + closing > budget) break;
    out += piece;
    inHighlight = marked;
    pos += ch.length;
  }
  if (out.size() - start + kLineEnd.size() > budget) return LineFit::Nothing;
  if (inHighlight) out += kHighlightClose;
  out += kLineEnd;
  return pos == line.size() ? LineFit::Whole : LineFit::Shortened;
}

Extract buildExtract(const ExtractRequest& r) {
  Extract e;
  if (r.capacity == 0) return e;
  const size_t limit = r.capacity - 1;  // room for the NUL
  for (size_t line : extractLines(r)) {
    size_t begin = r.page->lineStarts[line];
    size_t end = r.page->lineEnd(line);
    std::string_view shown = std::string_view(r.page->text).substr(begin, end - begin);
    std::vector<Span> spans;
    if (r.highlight) {
      const size_t from = toSearchable(r, begin);
      spans = highlightSpans(r.searchable.substr(from, toSearchable(r, end) - from), r.shownTexts);
      for (Span& s : spans)
        s = {toPage(r, from + s.first) - begin, toPage(r, from + s.second) - begin};
    }
    LineFit fit = appendRtfLine(e.rtf, shown, spans, limit - e.rtf.size());
    if (fit == LineFit::Nothing) break;
    ++e.lines;
    if (fit == LineFit::Shortened) break;
  }
  return e;
}

}  // namespace mzk11
