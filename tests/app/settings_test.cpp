#include "app/settings.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "support/scratch_dir.h"

namespace quexa {
namespace {

using quexa::testing::ScratchDir;

std::string field(const std::string& text) {
  return char(text.size()) + text;
}

// A record laid out field by field, as the window writes it.
std::string record(const std::string& proxy, char mine = 1, char engine = 0,
                   const std::string& width = "9375", const std::string& splitter = "4425") {
  std::string r("\x00\x01\x00\x00\x00\x00\x00", 7);
  r += field(proxy) + field("3000") + field("30") + field("10") + mine + engine;
  r += field(width) + field(splitter);
  r.resize(300, '\0');
  return r;
}

TEST(SettingsRecord, FirstRunGivesDefaultsAndWritesTheByteExactRecord) {
  ScratchDir dir;
  Settings s = loadSettings(dir.path());
  EXPECT_TRUE(dir.exists(kSettingsFileName)) << "a missing settings file is created empty";
  EXPECT_EQ(s, Settings{});

  saveSettings(dir.path(), s);
  const std::string bytes = dir.read(kSettingsFileName);
  EXPECT_EQ(bytes, record(""));
  EXPECT_EQ(bytes[8], 4) << "an empty proxy puts the hits length byte at position 9";

  s.proxyText = "proxy";
  EXPECT_EQ(encodeSettings(s), record("proxy"));
  s.proxyText = "pr\xC3\xB8xy";  // stored one byte a character
  EXPECT_EQ(encodeSettings(s).substr(7, 6), "\x05pr\xF8xy");
}

TEST(SettingsRecord, ModesWidthAndSplitterFallBack) {
  Settings both0 = decodeSettings(record("", 0, 0));
  EXPECT_EQ(both0.mineMode, 1);
  EXPECT_EQ(both0.engineMode, 0);
  EXPECT_EQ(decodeSettings(record("", 0, 1)).engineMode, 1);
  Settings bothOn = decodeSettings(record("", 1, 1));
  EXPECT_EQ(bothOn.mineMode + bothOn.engineMode, 1) << "a damaged pair still gives one mode";

  struct {
    std::string text;
    int32_t width;
  } cases[] = {{"0", 9375}, {"-5", 9375},          {"", 9375},   {"12.6", 13}, {"abc", 9375},
               {"8x", 8},   {"99999999999", 9375}, {"0.4", 9375}};
  for (const auto& c : cases) {
    Settings s = decodeSettings(record("", 1, 0, c.text, ""));
    EXPECT_EQ(s.savedFormWidth, c.width) << "width text '" << c.text << "'";
    EXPECT_EQ(s.splitterLeft, 4425) << "empty splitter text";
  }
}

TEST(SettingsRecord, RoundTripKeepsEveryField) {
  Settings s;
  s.optCase = s.chkLycos = s.chkAltavista = true;
  s.optSearchAll = false;
  s.proxyText = "cache.example:8080 \xC3\xA9";
  s.hitsText = "250";
  s.retryText = "abc";  // kept as typed: the searches read the box
  s.mineMode = 0;
  s.engineMode = 1;
  s.savedFormWidth = 12000;
  s.splitterLeft = 1;
  ScratchDir dir;
  saveSettings(dir.path(), s);
  EXPECT_EQ(loadSettings(dir.path()), s);
}

TEST(SettingsRecord, DamagedOrTruncatedRecordsNeverCrashAndKeepDefaults) {
  const std::string good = record("proxy");
  Settings expected;
  expected.proxyText = "proxy";
  Settings one = decodeSettings("\x01");
  EXPECT_TRUE(one.optCase);
  EXPECT_TRUE(one.optSearchAll) << "fields past a short file's end keep their defaults";
  EXPECT_EQ(decodeSettings(good.substr(0, 299)), expected);
  EXPECT_EQ(decodeSettings(good.substr(0, good.find("9375") + 2)).savedFormWidth, 9375);

  // A hits length byte pointing past byte 300: it and every field after it
  // keep their defaults; bytes after 300 are never read.
  std::string pastEnd = std::string(7, '\0') + field(std::string(255, 'p')) + char(200);
  pastEnd.resize(300, 'x');
  Settings p = decodeSettings(pastEnd + std::string(1000, '9'));
  EXPECT_EQ(p.proxyText, "") << "a proxy longer than its box takes is not kept";
  EXPECT_EQ(p.hitsText, "3000");
  EXPECT_EQ(p.savedFormWidth, 9375);
}

TEST(SettingsFit, RefusesWhatTheRecordCannotHoldAndWritesNothing) {
  Settings limits;
  limits.proxyText = std::string(kMaxProxyLength, 'p');
  limits.hitsText = limits.timeoutText = limits.retryText = std::string(kMaxNumberTextLength, '9');
  EXPECT_FALSE(settingsFitProblem(limits)) << "the window's own limits always fit";

  Settings longText, noByte, tooMuch;
  longText.proxyText = std::string(256, 'p');
  noByte.timeoutText = "\xE2\x82\xAC";  // the euro sign has no single-byte code
  tooMuch.proxyText = std::string(255, 'p');
  tooMuch.hitsText = std::string(30, '1');  // together past byte 300
  for (const Settings& s : {longText, noByte, tooMuch}) {
    EXPECT_TRUE(settingsFitProblem(s));
    EXPECT_THROW(encodeSettings(s), std::invalid_argument);
  }
  ScratchDir dir;
  dir.write(kSettingsFileName, record("keep"));
  EXPECT_THROW(saveSettings(dir.path(), tooMuch), std::invalid_argument);
  EXPECT_EQ(dir.read(kSettingsFileName), record("keep"));
}

TEST(SpinValue, WholeNumbersClampedOthersAtTheLowerEnd) {
  EXPECT_EQ(spinValueForText(" 45 ", kTimeoutSpin), 45);
  EXPECT_EQ(spinValueForText("200", kTimeoutSpin), 90);
  EXPECT_EQ(spinValueForText("1", kHitsSpin), 100);
  EXPECT_EQ(spinValueForText("12.5", kRetrySpin), 3);
}

}  // namespace
}  // namespace quexa
