#include "results/rtf_reader.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/text.h"
#include "results/rtf_text.h"

namespace quexa {
namespace {

enum class Destination { Text, FontTable, ColorTable, Skip };

// Character properties as RTF tracks them; a group restores them on "}".
struct CharState {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  int fontSize = 24;
  int font = -1;  // -1: the document's default font (\deffN)
  int color = 0;
  int unicodeSkip = 1;  // \ucN: fallback characters after each \uN
  bool operator==(const CharState&) const = default;
};

struct GroupState {
  CharState chars;
  Destination destination = Destination::Text;
};

enum class Word {
  Unknown,
  Par,
  Plain,
  Bold,
  Italic,
  Underline,
  UnderlineNone,
  Font,
  FontSize,
  Color,
  UnicodeSkip,
  Unicode,
  DefaultFont,
  FontTable,
  ColorTable,
  Red,
  Green,
  Blue,
  Binary,
  SkippedDestination,
  Tab,
  EmDash,
  EnDash,
  Bullet,
  LeftQuote,
  RightQuote,
  LeftDoubleQuote,
  RightDoubleQuote,
  EmSpace,
  EnSpace,
};

const std::unordered_map<std::string_view, Word>& wordTable() {
  static const std::unordered_map<std::string_view, Word> table = {
      {"par", Word::Par},
      {"line", Word::Par},
      {"sect", Word::Par},
      {"page", Word::Par},
      {"plain", Word::Plain},
      {"b", Word::Bold},
      {"i", Word::Italic},
      {"ul", Word::Underline},
      {"ulnone", Word::UnderlineNone},
      {"f", Word::Font},
      {"fs", Word::FontSize},
      {"cf", Word::Color},
      {"uc", Word::UnicodeSkip},
      {"u", Word::Unicode},
      {"deff", Word::DefaultFont},
      {"fonttbl", Word::FontTable},
      {"colortbl", Word::ColorTable},
      {"red", Word::Red},
      {"green", Word::Green},
      {"blue", Word::Blue},
      {"bin", Word::Binary},
      {"tab", Word::Tab},
      {"emdash", Word::EmDash},
      {"endash", Word::EnDash},
      {"bullet", Word::Bullet},
      {"lquote", Word::LeftQuote},
      {"rquote", Word::RightQuote},
      {"ldblquote", Word::LeftDoubleQuote},
      {"rdblquote", Word::RightDoubleQuote},
      {"emspace", Word::EmSpace},
      {"enspace", Word::EnSpace},
      // Destinations whose content is never shown.
      {"info", Word::SkippedDestination},
      {"stylesheet", Word::SkippedDestination},
      {"pict", Word::SkippedDestination},
      {"object", Word::SkippedDestination},
      {"header", Word::SkippedDestination},
      {"headerl", Word::SkippedDestination},
      {"headerr", Word::SkippedDestination},
      {"headerf", Word::SkippedDestination},
      {"footer", Word::SkippedDestination},
      {"footerl", Word::SkippedDestination},
      {"footerr", Word::SkippedDestination},
      {"footerf", Word::SkippedDestination},
      {"footnote", Word::SkippedDestination},
      {"fldinst", Word::SkippedDestination},
      {"filetbl", Word::SkippedDestination},
      {"revtbl", Word::SkippedDestination},
      {"listtable", Word::SkippedDestination},
      {"listoverridetable", Word::SkippedDestination},
      {"rsidtbl", Word::SkippedDestination},
      {"xmlnstbl", Word::SkippedDestination},
      {"themedata", Word::SkippedDestination},
      {"colorschememapping", Word::SkippedDestination},
      {"latentstyles", Word::SkippedDestination},
      {"datastore", Word::SkippedDestination},
      {"nonshppict", Word::SkippedDestination},
      {"private", Word::SkippedDestination},
  };
  return table;
}

Word lookUpWord(std::string_view name) {
  const auto& table = wordTable();
  auto it = table.find(name);
  return it == table.end() ? Word::Unknown : it->second;
}

bool isLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

constexpr size_t kMaxDepth = 4096;            // deeper groups share their parent's state
constexpr size_t kMaxWordLength = 32;         // longer control words are not RTF
constexpr int64_t kParameterLimit = 1 << 30;  // parameters are clamped, never overflow
constexpr char32_t kReplacement = 0xFFFD;

// Valid UTF-8 is kept, other bytes above 0x7F are Windows-1252, and control
// characters other than the tab do not show.
void decodeText(std::string_view raw, std::string& out) {
  for (size_t i = 0; i < raw.size();) {
    auto b = static_cast<unsigned char>(raw[i]);
    if (b < 0x80) {
      if (b >= 0x20 || b == '\t') out += raw[i];
      ++i;
      continue;
    }
    char32_t cp;
    size_t length = utf8SequenceAt(raw, i, cp);
    if (length == 0) {
      appendUtf8(out, windows1252CodePoint(b));
      length = 1;
    } else {
      out.append(raw.substr(i, length));
    }
    i += length;
  }
}

class Reader {
 public:
  explicit Reader(std::string_view in) : in_(in) {}

  RichText read() {
    while (pos_ < in_.size() && !done_) {
      if (state_.destination == Destination::Skip) {
        skipRestOfGroup();
        continue;
      }
      char c = in_[pos_];
      if (c == '{') {
        ++pos_;
        openGroup();
      } else if (c == '}') {
        ++pos_;
        closeGroup();
      } else if (c == '\\') {
        ++pos_;
        readControl();
      } else if (c == '\r' || c == '\n') {
        ++pos_;
      } else {
        readText();
      }
    }
    return std::move(doc_);
  }

 private:
  // --- groups ---

  void openGroup() {
    if (stack_.size() >= kMaxDepth) {
      ++excessDepth_;
      return;
    }
    stack_.push_back(state_);
  }

  void closeGroup() {
    skipFallback_ = 0;
    if (excessDepth_ > 0) {
      --excessDepth_;
      return;
    }
    if (stack_.empty()) return;  // a stray "}" before the document opened
    if (state_.destination == Destination::FontTable) commitFontName(false);
    state_ = stack_.back();
    stack_.pop_back();
    if (stack_.empty()) done_ = true;  // the document group is closed
  }

  // Passes over the rest of a destination that is never shown, with its
  // nested groups, escaped braces and binary data.
  void skipRestOfGroup() {
    size_t depth = 0;
    while (pos_ < in_.size()) {
      char c = in_[pos_++];
      if (c == '\\') {
        if (pos_ >= in_.size()) break;
        if (isLetter(in_[pos_])) {
          auto [name, hasParameter, parameter] = readWord();
          if (name == "bin" && hasParameter) skipBinary(parameter);
        } else {
          ++pos_;
        }
      } else if (c == '{') {
        ++depth;
      } else if (c == '}') {
        if (depth == 0) {
          closeGroup();
          return;
        }
        --depth;
      }
    }
  }

  void skipBinary(int64_t count) {
    size_t n = count > 0 ? static_cast<size_t>(count) : 0;
    pos_ += std::min(n, in_.size() - pos_);
  }

  // --- control words and symbols ---

  struct ControlWord {
    std::string_view name;
    bool hasParameter;
    int64_t parameter;
  };

  // At a letter after "\": the name, an optional signed number, and the
  // blank that ends the word, which belongs to it.
  ControlWord readWord() {
    size_t start = pos_;
    while (pos_ < in_.size() && isLetter(in_[pos_])) ++pos_;
    ControlWord word{in_.substr(start, pos_ - start), false, 0};
    bool negative = false;
    if (pos_ + 1 < in_.size() && in_[pos_] == '-' && isDigit(in_[pos_ + 1])) {
      negative = true;
      ++pos_;
    }
    if (pos_ < in_.size() && isDigit(in_[pos_])) {
      word.hasParameter = true;
      while (pos_ < in_.size() && isDigit(in_[pos_])) {
        word.parameter = std::min(word.parameter * 10 + (in_[pos_] - '0'), kParameterLimit);
        ++pos_;
      }
      if (negative) word.parameter = -word.parameter;
    }
    if (pos_ < in_.size() && in_[pos_] == ' ') ++pos_;
    return word;
  }

  void readControl() {
    if (pos_ >= in_.size()) return;  // a lone "\" at the very end
    if (isLetter(in_[pos_])) {
      ControlWord word = readWord();
      if (word.name.size() <= kMaxWordLength) handleWord(word);
      return;
    }
    char symbol = in_[pos_++];
    if (symbol == '*') {
      state_.destination = Destination::Skip;
      return;
    }
    if (symbol == '\'') {
      readHexCharacter();
      return;
    }
    if (consumeFallback()) return;
    switch (symbol) {
      case '\\':
      case '{':
      case '}':
        handleText(std::string_view(&in_[pos_ - 1], 1));
        break;
      case '~':
        handleCharacter(0x00A0);
        break;
      case '_':
        handleCharacter(0x2011);
        break;
      case '\r':
      case '\n':
        endParagraph();
        break;
      default:
        // "\-" (optional hyphen), "\ " and other symbols show nothing.
        break;
    }
  }

  // \'hh: one byte of the document's code page, Windows-1252.
  void readHexCharacter() {
    int value = 0;
    int digitsRead = 0;
    while (digitsRead < 2 && pos_ < in_.size() && hexValue(in_[pos_]) >= 0) {
      value = value * 16 + hexValue(in_[pos_]);
      ++pos_;
      ++digitsRead;
    }
    if (consumeFallback() || digitsRead == 0) return;
    handleCharacter(windows1252CodePoint(static_cast<unsigned char>(value)));
  }

  void handleWord(const ControlWord& word) {
    Word kind = lookUpWord(word.name);
    if (kind == Word::Binary) {
      skipBinary(word.hasParameter ? word.parameter : 0);
      return;
    }
    if (consumeFallback()) return;
    int value = static_cast<int>(word.parameter);
    CharState& chars = state_.chars;
    switch (kind) {
      case Word::Par:
        endParagraph();
        break;
      case Word::Plain:
        chars = CharState{.unicodeSkip = chars.unicodeSkip};
        break;
      case Word::Bold:
        chars.bold = !word.hasParameter || value != 0;
        break;
      case Word::Italic:
        chars.italic = !word.hasParameter || value != 0;
        break;
      case Word::Underline:
        chars.underline = !word.hasParameter || value != 0;
        break;
      case Word::UnderlineNone:
        chars.underline = false;
        break;
      case Word::Font:
        if (state_.destination == Destination::FontTable) {
          commitFontName(false);
          tableFont_ = value;
        } else {
          chars.font = value;
        }
        break;
      case Word::FontSize:
        chars.fontSize = word.hasParameter && value > 0 ? std::min(value, 3276) : 24;
        break;
      case Word::Color:
        chars.color = value;
        break;
      case Word::UnicodeSkip:
        chars.unicodeSkip = std::clamp(value, 0, 255);
        break;
      case Word::Unicode:
        handleUnicode(value);
        break;
      case Word::DefaultFont:
        defaultFont_ = value;
        formatValid_ = false;
        break;
      case Word::FontTable:
        state_.destination = Destination::FontTable;
        break;
      case Word::ColorTable:
        state_.destination = Destination::ColorTable;
        colors_.clear();
        pendingColor_ = Rgb{};
        colorGiven_ = false;
        break;
      case Word::Red:
        setColorComponent(pendingColor_.red, value);
        break;
      case Word::Green:
        setColorComponent(pendingColor_.green, value);
        break;
      case Word::Blue:
        setColorComponent(pendingColor_.blue, value);
        break;
      case Word::SkippedDestination:
        state_.destination = Destination::Skip;
        break;
      case Word::Tab:
        handleText("\t");
        break;
      case Word::EmDash:
        handleCharacter(0x2014);
        break;
      case Word::EnDash:
        handleCharacter(0x2013);
        break;
      case Word::Bullet:
        handleCharacter(0x2022);
        break;
      case Word::LeftQuote:
        handleCharacter(0x2018);
        break;
      case Word::RightQuote:
        handleCharacter(0x2019);
        break;
      case Word::LeftDoubleQuote:
        handleCharacter(0x201C);
        break;
      case Word::RightDoubleQuote:
        handleCharacter(0x201D);
        break;
      case Word::EmSpace:
        handleCharacter(0x2003);
        break;
      case Word::EnSpace:
        handleCharacter(0x2002);
        break;
      case Word::Binary:
      case Word::Unknown:
        break;
    }
  }

  // \uN: N is a signed 16-bit number; characters above U+FFFF come as a
  // pair of surrogates. The fallback characters that follow are skipped.
  void handleUnicode(int value) {
    if (value < 0) value += 65536;
    char32_t unit = (value >= 0 && value <= 0xFFFF) ? static_cast<char32_t>(value) : kReplacement;
    if (unit >= 0xDC00 && unit <= 0xDFFF && highSurrogate_ != 0) {
      char32_t high = highSurrogate_;
      highSurrogate_ = 0;
      handleCharacter(0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
    } else if (unit >= 0xD800 && unit <= 0xDBFF) {
      flushLoneSurrogate();
      highSurrogate_ = unit;
    } else {
      handleCharacter(unit >= 0xD800 && unit <= 0xDFFF ? kReplacement : unit);
    }
    skipFallback_ = state_.chars.unicodeSkip;
  }

  void flushLoneSurrogate() {
    if (highSurrogate_ == 0) return;
    highSurrogate_ = 0;
    handleCharacter(kReplacement);
  }

  // True when the element just read is one of the fallback characters of
  // a \uN and must not show.
  bool consumeFallback() {
    if (skipFallback_ <= 0) return false;
    --skipFallback_;
    return true;
  }

  void setColorComponent(uint8_t& component, int value) {
    component = static_cast<uint8_t>(std::clamp(value, 0, 255));
    colorGiven_ = true;
  }

  // --- text ---

  void readText() {
    size_t start = pos_;
    while (pos_ < in_.size()) {
      char c = in_[pos_];
      if (c == '\\' || c == '{' || c == '}' || c == '\r' || c == '\n') break;
      ++pos_;
    }
    std::string_view text = in_.substr(start, pos_ - start);
    while (skipFallback_ > 0 && !text.empty()) {
      char32_t cp;
      size_t length = utf8SequenceAt(text, 0, cp);
      text.remove_prefix(length == 0 ? 1 : length);
      --skipFallback_;
    }
    if (!text.empty()) handleText(text);
  }

  // Text of the current destination. Raw bytes that form valid UTF-8 are
  // taken as such, other bytes above 0x7F as Windows-1252; control
  // characters other than the tab do not show.
  void handleText(std::string_view raw) {
    if (state_.destination == Destination::Skip) return;
    if (state_.destination == Destination::ColorTable) {
      for (char c : raw)
        if (c == ';') commitColor();
      return;
    }
    std::string_view text = raw;
    if (!isPlainAscii(raw)) {
      decoded_.clear();
      decodeText(raw, decoded_);
      text = decoded_;
    }
    if (state_.destination == Destination::FontTable) {
      addToFontName(text);
      return;
    }
    if (text.empty()) return;
    flushLoneSurrogate();
    appendRun(doc_.paragraphs.back(), text, currentFormat());
  }

  void handleCharacter(char32_t cp) {
    if (cp < 0x20 && cp != '\t') return;  // control characters do not show
    std::string utf8;
    appendUtf8(utf8, cp);
    if (state_.destination == Destination::FontTable) {
      addToFontName(utf8);
    } else if (state_.destination == Destination::Text) {
      flushLoneSurrogate();
      appendRun(doc_.paragraphs.back(), utf8, currentFormat());
    }
  }

  static bool isPlainAscii(std::string_view s) {
    for (char c : s) {
      auto b = static_cast<unsigned char>(c);
      if (b >= 0x80 || (b < 0x20 && b != '\t')) return false;
    }
    return true;
  }

  void endParagraph() {
    if (state_.destination != Destination::Text) return;
    flushLoneSurrogate();
    doc_.paragraphs.emplace_back();
  }

  // --- tables ---

  void addToFontName(std::string_view text) {
    for (char c : text) {
      if (c == ';')
        commitFontName(true);
      else
        fontName_ += c;
    }
  }

  // A font entry ends at ";"; an entry without one ends with its group, when
  // it named anything.
  void commitFontName(bool atSemicolon) {
    std::string name = trim(fontName_);
    fontName_.clear();
    if (!atSemicolon && name.empty()) return;
    fonts_[tableFont_] = std::move(name);
    formatValid_ = false;
  }

  // A colour entry ends at ";"; one without components is the default
  // colour.
  void commitColor() {
    colors_.push_back(colorGiven_ ? std::optional<Rgb>(pendingColor_) : std::nullopt);
    pendingColor_ = Rgb{};
    colorGiven_ = false;
    formatValid_ = false;
  }

  const RunFormat& currentFormat() {
    if (formatValid_ && formatChars_ == state_.chars) return format_;
    const CharState& chars = state_.chars;
    format_.bold = chars.bold;
    format_.italic = chars.italic;
    format_.underline = chars.underline;
    format_.fontSizeHalfPoints = chars.fontSize;
    auto font = fonts_.find(chars.font < 0 ? defaultFont_ : chars.font);
    format_.fontName = font == fonts_.end() ? std::string() : font->second;
    bool known = chars.color >= 0 && static_cast<size_t>(chars.color) < colors_.size() &&
                 colors_[chars.color].has_value();
    format_.color = known ? *colors_[chars.color] : Rgb{};
    formatChars_ = chars;
    formatValid_ = true;
    return format_;
  }

  std::string_view in_;
  size_t pos_ = 0;
  bool done_ = false;

  GroupState state_;
  std::vector<GroupState> stack_;
  size_t excessDepth_ = 0;

  int skipFallback_ = 0;
  char32_t highSurrogate_ = 0;

  std::unordered_map<int, std::string> fonts_;
  int defaultFont_ = 0;
  int tableFont_ = 0;
  std::string fontName_;
  std::vector<std::optional<Rgb>> colors_;
  Rgb pendingColor_;
  bool colorGiven_ = false;

  RunFormat format_;
  CharState formatChars_;
  bool formatValid_ = false;

  std::string decoded_;
  RichText doc_;
};

bool isRtfDocument(std::string_view s) {
  size_t start = s.find_first_not_of(" \t\r\n");
  return start != std::string_view::npos && s.substr(start).starts_with("{\\rtf");
}

RichText readPlainText(std::string_view s) {
  RichText doc;
  size_t start = 0;
  while (true) {
    size_t end = s.find('\n', start);
    std::string_view line = s.substr(start, end == std::string_view::npos ? end : end - start);
    if (line.ends_with('\r')) line.remove_suffix(1);
    std::string text;
    decodeText(line, text);
    appendRun(doc.paragraphs.back(), text, RunFormat{});
    if (end == std::string_view::npos) break;
    doc.paragraphs.emplace_back();
    start = end + 1;
  }
  return doc;
}

}  // namespace

RichText readRtf(std::string_view rtf) {
  if (!isRtfDocument(rtf)) return readPlainText(rtf);
  return Reader(rtf).read();
}

void appendRtf(RichText& pane, std::string_view rtf) {
  appendRichText(pane, readRtf(rtf));
}

}  // namespace quexa
