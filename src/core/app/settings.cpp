#include "app/settings.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <stdexcept>

#include "app/text.h"
#include "data/data_dir_lock.h"
#include "data/text_file.h"

namespace quexa {

namespace {

constexpr size_t kMaxFieldLength = 255;  // one length byte
constexpr const char* kSettingsTempName = "qxconfig.qf~";

// Reads the record field by field. Once a field would pass the end of the
// record (or of a short file), it and every field after it stay unread.
class RecordReader {
 public:
  explicit RecordReader(std::string_view bytes) : bytes_(bytes) {}

  bool byte(uint8_t& out) {
    if (!ok_ || pos_ >= bytes_.size()) return ok_ = false;
    out = static_cast<uint8_t>(bytes_[pos_++]);
    return true;
  }

  bool text(std::string& out) {
    uint8_t length = 0;
    if (!byte(length)) return false;
    if (length > bytes_.size() - pos_) return ok_ = false;
    out = latin1ToUtf8(bytes_.substr(pos_, length));
    pos_ += length;
    return true;
  }

 private:
  std::string_view bytes_;
  size_t pos_ = 0;
  bool ok_ = true;
};

// The numeric value at the start of a text (blanks, sign, digits, a decimal
// fraction), rounded to a whole number; nullopt when the text has none or it
// passes the 32-bit range.
std::optional<int64_t> leadingNumberRounded(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  size_t start = i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digitsStart = i;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
  size_t intDigits = i - digitsStart;
  size_t fracDigits = 0;
  if (i < text.size() && text[i] == '.') {
    size_t f = i + 1;
    while (f < text.size() && text[f] >= '0' && text[f] <= '9') ++f;
    fracDigits = f - i - 1;
    i = f;
  }
  if (intDigits + fracDigits == 0) return std::nullopt;
  double value = std::strtod(std::string(text.substr(start, i - start)).c_str(), nullptr);
  double rounded = std::round(value);
  if (!std::isfinite(rounded) || rounded > std::numeric_limits<int32_t>::max() ||
      rounded < std::numeric_limits<int32_t>::min())
    return std::nullopt;
  return static_cast<int64_t>(rounded);
}

int32_t measurementFromText(const std::string& text, int32_t fallback) {
  auto value = leadingNumberRounded(text);
  if (!value || *value <= 0) return fallback;
  return static_cast<int32_t>(*value);
}

void appendField(std::string& record, const std::string& latin1) {
  record += static_cast<char>(static_cast<uint8_t>(latin1.size()));
  record += latin1;
}

struct NamedText {
  const char* name;
  const std::string* text;
};

}  // namespace

int spinValueForText(std::string_view text, SpinRange range) {
  int64_t value = 0;
  if (!parseWholeNumber(text, value)) return range.min;
  if (value < range.min) return range.min;
  if (value > range.max) return range.max;
  return static_cast<int>(value);
}

std::optional<std::string> settingsFitProblem(const Settings& s) {
  const std::string width = digits(s.savedFormWidth);
  const std::string splitter = digits(s.splitterLeft);
  const NamedText texts[] = {{"The proxy server", &s.proxyText},
                             {"The maximum sites", &s.hitsText},
                             {"The timeout", &s.timeoutText},
                             {"The retry count", &s.retryText}};
  size_t total = 7 + 2 + (1 + width.size()) + (1 + splitter.size());
  for (const auto& field : texts) {
    std::string latin1;
    if (!utf8ToLatin1(*field.text, latin1))
      return std::string(field.name) + " text holds a character the settings file cannot store.";
    if (latin1.size() > kMaxFieldLength)
      return std::string(field.name) + " text is longer than 255 characters.";
    total += 1 + latin1.size();
  }
  if (total > kSettingsRecordSize) return "The settings together are longer than 300 bytes.";
  return std::nullopt;
}

std::string encodeSettings(const Settings& s) {
  if (auto problem = settingsFitProblem(s)) throw std::invalid_argument(*problem);
  std::string record;
  record.reserve(kSettingsRecordSize);
  for (bool box : {s.optCase, s.optSearchAll, s.chkYahoo, s.chkLycos, s.chkInfoseek, s.chkExcite,
                   s.chkAltavista})
    record += static_cast<char>(box ? 1 : 0);
  for (const std::string* text : {&s.proxyText, &s.hitsText, &s.timeoutText, &s.retryText}) {
    std::string latin1;
    utf8ToLatin1(*text, latin1);
    appendField(record, latin1);
  }
  record += static_cast<char>(static_cast<uint8_t>(s.mineMode));
  record += static_cast<char>(static_cast<uint8_t>(s.engineMode));
  appendField(record, digits(s.savedFormWidth));
  appendField(record, digits(s.splitterLeft));
  record.resize(kSettingsRecordSize, '\0');
  return record;
}

namespace {
size_t characterCount(std::string_view utf8) {
  size_t n = 0;
  for (char c : utf8)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  return n;
}
}  // namespace

Settings decodeSettings(std::string_view record) {
  Settings s;
  if (record.empty()) return s;
  RecordReader reader(record.substr(0, kSettingsRecordSize));

  uint8_t b = 0;
  for (bool* box : {&s.optCase, &s.optSearchAll, &s.chkYahoo, &s.chkLycos, &s.chkInfoseek,
                    &s.chkExcite, &s.chkAltavista})
    if (reader.byte(b)) *box = b != 0;

  for (std::string* text : {&s.proxyText, &s.hitsText, &s.timeoutText, &s.retryText}) {
    std::string value;
    if (reader.text(value)) *text = value;
  }
  // A damaged record can hold texts longer than the window's boxes take; such
  // settings could never be saved again. Keep them within the boxes' limits.
  const Settings defaults;
  if (characterCount(s.proxyText) > kMaxProxyLength) s.proxyText = defaults.proxyText;
  if (characterCount(s.hitsText) > kMaxNumberTextLength) s.hitsText = defaults.hitsText;
  if (characterCount(s.timeoutText) > kMaxNumberTextLength) s.timeoutText = defaults.timeoutText;
  if (characterCount(s.retryText) > kMaxNumberTextLength) s.retryText = defaults.retryText;

  uint8_t mine = 0, engine = 0;
  if (reader.byte(mine) && reader.byte(engine)) {
    // Exactly one mode is on: "Web Engines" only when its byte says so and
    // the "My Web Sites" byte does not; both 0 (or a damaged pair) give
    // "My Web Sites".
    const bool engines = engine == 1 && mine != 1;
    s.mineMode = engines ? 0 : 1;
    s.engineMode = engines ? 1 : 0;
  }

  std::string width, splitter;
  if (reader.text(width)) s.savedFormWidth = measurementFromText(width, 9375);
  if (reader.text(splitter)) s.splitterLeft = measurementFromText(splitter, 4425);
  return s;
}

Settings loadSettings(const std::string& dataDir) {
  return decodeSettings(readBytes(dataDir + kSettingsFileName, kSettingsRecordSize));
}

void saveSettings(const std::string& dataDir, const Settings& s) {
  const DataDirLock lock(dataDir);
  rewriteBytes(dataDir + kSettingsFileName, dataDir + kSettingsTempName, encodeSettings(s));
}

}  // namespace quexa
