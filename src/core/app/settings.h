// The settings controls as plain values, and their 300-byte record
// qxconfig.qxf. In memory texts are UTF-8; the record holds one byte a
// character (Latin-1).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quexa {

struct Settings {
  bool optCase = false;      // "&Match Case"
  bool optSearchAll = true;  // "Sear&ch All Links"
  bool chkYahoo = false;
  bool chkLycos = false;
  bool chkInfoseek = false;
  bool chkExcite = false;
  bool chkAltavista = false;
  std::string proxyText;           // "Proxy Server:"
  std::string hitsText = "3000";   // "Maximum Sites:"
  std::string timeoutText = "30";  // "Timeout:"
  std::string retryText = "10";    // "Retry:"
  int mineMode = 1;
  int engineMode = 0;
  int32_t savedFormWidth = 9375;  // twips
  int32_t splitterLeft = 4425;    // twips

  bool operator==(const Settings&) const = default;
};

inline constexpr size_t kSettingsRecordSize = 300;
inline constexpr const char* kSettingsFileName = "qxconfig.qxf";

// Longest texts the window lets the user type, so that the record always fits.
inline constexpr size_t kMaxProxyLength = 200;
inline constexpr size_t kMaxNumberTextLength = 10;

// The spin bars beside the number boxes.
struct SpinRange {
  int min;
  int max;
  int step;
};
inline constexpr SpinRange kHitsSpin{100, 30000, 50};
inline constexpr SpinRange kTimeoutSpin{30, 90, 2};
inline constexpr SpinRange kRetrySpin{3, 99, 1};

// The spin bar value for a box text: its whole number, clamped to the
// nearest end of the range; a text that is no whole number gives the lower
// end. The text box keeps its text either way.
int spinValueForText(std::string_view text, SpinRange range);

// Why these settings cannot be written to the record (a text over 255 bytes
// once encoded, a character without a single-byte code, fields passing byte
// 300), or nullopt when they fit.
std::optional<std::string> settingsFitProblem(const Settings& s);

// Exactly 300 bytes. Throws std::invalid_argument when settingsFitProblem().
std::string encodeSettings(const Settings& s);

// Decodes a record of any length: an empty one gives the defaults; a short or
// damaged one is read without passing its 300 bytes, fields that cannot be
// read take their defaults.
Settings decodeSettings(std::string_view record);

// dataDir ends with '/'. loadSettings creates a missing file empty; a missing
// or empty file gives the defaults. saveSettings writes the 300 bytes
// atomically (temporary file, fsync, rename).
Settings loadSettings(const std::string& dataDir);
void saveSettings(const std::string& dataDir, const Settings& s);

}  // namespace quexa
