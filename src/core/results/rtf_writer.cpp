#include "results/rtf_writer.h"

#include <map>
#include <string_view>
#include <vector>

#include "results/rtf_text.h"

namespace quexa {
namespace {

// The fonts and colours the runs use, numbered in order of first use.
// Colour 0 is always black.
struct Tables {
  std::vector<std::string> fonts;
  std::map<std::string, int, std::less<>> fontIndex;
  std::vector<Rgb> colors{Rgb{}};
  std::map<uint32_t, int> colorIndex{{0, 0}};

  int font(const std::string& name) {
    auto [it, added] = fontIndex.try_emplace(name, static_cast<int>(fonts.size()));
    if (added) fonts.push_back(name);
    return it->second;
  }

  int color(Rgb rgb) {
    uint32_t packed = (uint32_t{rgb.red} << 16) | (uint32_t{rgb.green} << 8) | rgb.blue;
    auto [it, added] = colorIndex.try_emplace(packed, static_cast<int>(colors.size()));
    if (added) colors.push_back(rgb);
    return it->second;
  }
};

void writeTables(const Tables& tables, std::string& out) {
  out += "{\\rtf1\\ansi\\deff0{\\fonttbl";
  for (size_t i = 0; i < tables.fonts.size(); ++i)
    out += "{\\f" + std::to_string(i) + " " + rtfEscape(tables.fonts[i]) + ";}";
  out += "}{\\colortbl";
  for (const Rgb& c : tables.colors)
    out += "\\red" + std::to_string(c.red) + "\\green" + std::to_string(c.green) + "\\blue" +
           std::to_string(c.blue) + ";";
  out += "}\n";
}

// Run text: escaped, a stray line break as \line (the reader ends the
// paragraph there, as a rich-text control shows it).
void writeRunText(std::string_view text, std::string& out) {
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    out += rtfEscape(text.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) break;
    if (text[end] == '\n') out += "\\line ";
    start = end + 1;
  }
}

}  // namespace

std::string writeRtf(const RichText& text) {
  Tables tables;
  std::string body;
  for (size_t p = 0; p < text.paragraphs.size(); ++p) {
    if (p > 0) body += "\\par\n";
    for (const TextRun& run : text.paragraphs[p].runs) {
      const RunFormat& f = run.format;
      body += "{\\f" + std::to_string(tables.font(f.fontName));
      body += "\\fs" + std::to_string(f.fontSizeHalfPoints);
      body += "\\cf" + std::to_string(tables.color(f.color));
      if (f.bold) body += "\\b";
      if (f.italic) body += "\\i";
      if (f.underline) body += "\\ul";
      body += ' ';
      writeRunText(run.text, body);
      body += '}';
    }
  }
  std::string out;
  out.reserve(body.size() + 512);
  writeTables(tables, out);
  out += body;
  out += "}";
  return out;
}

}  // namespace quexa
