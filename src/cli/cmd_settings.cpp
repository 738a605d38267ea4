// quexa-cli settings show [--json] | settings set FIELD VALUE: the saved
// settings record qxconfig.qxf, field by field.
#include <iostream>
#include <nlohmann/json.hpp>

#include "app/settings.h"
#include "app/text.h"
#include "arguments.h"
#include "command.h"
#include "data/data_dir_lock.h"

namespace quexa::cli {

namespace {

const std::vector<std::string> kFields = {"case",   "search-all", "yahoo", "lycos",   "infoseek",
                                          "excite", "altavista",  "proxy", "hits",    "timeout",
                                          "retry",  "mode",       "width", "splitter"};

bool* checkBox(Settings& s, const std::string& field) {
  if (field == "case") return &s.optCase;
  if (field == "search-all") return &s.optSearchAll;
  if (field == "yahoo") return &s.chkYahoo;
  if (field == "lycos") return &s.chkLycos;
  if (field == "infoseek") return &s.chkInfoseek;
  if (field == "excite") return &s.chkExcite;
  if (field == "altavista") return &s.chkAltavista;
  return nullptr;
}

SpinRange spinRange(const std::string& field) {
  if (field == "hits") return kHitsSpin;
  return field == "timeout" ? kTimeoutSpin : kRetrySpin;
}

std::string* numberBox(Settings& s, const std::string& field) {
  if (field == "hits") return &s.hitsText;
  if (field == "timeout") return &s.timeoutText;
  if (field == "retry") return &s.retryText;
  return nullptr;
}

int32_t* measurement(Settings& s, const std::string& field) {
  if (field == "width") return &s.savedFormWidth;
  if (field == "splitter") return &s.splitterLeft;
  return nullptr;
}

[[noreturn]] void refuse(const std::string& message) {
  throw CommandFailure{kExitUsage, message};
}

bool isDigits(const std::string& s) {
  return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}

size_t characterCount(const std::string& utf8) {
  size_t n = 0;
  for (unsigned char c : utf8)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

bool parseCheck(const std::string& value) {
  const std::string v = lowerSameLength(value);
  if (v == "1" || v == "on" || v == "yes" || v == "true") return true;
  if (v == "0" || v == "off" || v == "no" || v == "false") return false;
  refuse("a check box takes 1 or 0 (on/off), not \"" + value + "\"");
}

void setField(Settings& s, const std::string& field, const std::string& value) {
  if (bool* box = checkBox(s, field)) {
    *box = parseCheck(value);
  } else if (std::string* number = numberBox(s, field)) {
    if (!isDigits(value) || value.size() > kMaxNumberTextLength)
      refuse(field + " takes digits only, at most " + std::to_string(kMaxNumberTextLength));
    requireSpinNumber(field, value, spinRange(field));
    *number = value;
  } else if (int32_t* twips = measurement(s, field)) {
    int64_t n = 0;
    if (!isDigits(value) || value.size() > 10 || !parseWholeNumber(value, n) || n <= 0)
      refuse(field + " takes a positive whole number of twips");
    *twips = static_cast<int32_t>(n);
  } else if (field == "proxy") {
    if (characterCount(value) > kMaxProxyLength)
      refuse("the proxy server name is longer than " + std::to_string(kMaxProxyLength) +
             " characters");
    s.proxyText = value;
  } else if (field == "mode") {
    if (value != "sites" && value != "engines") refuse("mode is sites or engines");
    s.mineMode = value == "sites" ? 1 : 0;
    s.engineMode = value == "engines" ? 1 : 0;
  } else {
    refuse("no settings field \"" + field + "\"");
  }
}

nlohmann::ordered_json settingsJson(Settings s) {
  nlohmann::ordered_json j;
  for (const auto& field : kFields) {
    if (bool* box = checkBox(s, field)) j[field] = *box;
    if (std::string* number = numberBox(s, field)) j[field] = *number;
    if (int32_t* twips = measurement(s, field)) j[field] = *twips;
  }
  j["proxy"] = s.proxyText;
  j["mode"] = s.engineMode == 1 ? "engines" : "sites";
  // Keep the fields in the record's documented order.
  nlohmann::ordered_json ordered;
  for (const auto& field : kFields) ordered[field] = j[field];
  return ordered;
}

int showSettings(const GlobalOptions& global, bool json) {
  const nlohmann::ordered_json j = settingsJson(loadSettings(global.dataDir()));
  if (json) {
    std::cout << j.dump() << "\n";
    return kExitOk;
  }
  for (const auto& [field, value] : j.items()) {
    std::cout << field << ": ";
    if (value.is_boolean())
      std::cout << (value.get<bool>() ? 1 : 0);
    else if (value.is_string())
      std::cout << value.get<std::string>();
    else
      std::cout << value.dump();
    std::cout << "\n";
  }
  return kExitOk;
}

int setSetting(const GlobalOptions& global, const std::string& field, const std::string& value) {
  const DataDirLock lock(global.dataDir());
  Settings s = loadSettings(global.dataDir());
  setField(s, field, value);
  if (auto problem = settingsFitProblem(s)) refuse(*problem);
  saveSettings(global.dataDir(), s);
  return kExitOk;
}

struct SetOptions {
  std::string field;
  std::string value;
};

CommandRegistrar registrar(10, [](CLI::App& app, GlobalOptions& global, int& exitCode) {
  CLI::App* settings = app.add_subcommand(
      "settings", "Show or change the saved settings (qxconfig.qxf) that searches start from.");
  settings->require_subcommand(1);

  auto json = std::make_shared<bool>(false);
  CLI::App* show = settings->add_subcommand("show", "Print every field of the settings record.");
  show->add_flag("--json", *json, "One JSON object instead of \"field: value\" lines");
  show->callback([json, &global, &exitCode] { exitCode = showSettings(global, *json); });

  auto options = std::make_shared<SetOptions>();
  std::string fieldList;
  for (const auto& f : kFields) fieldList += (fieldList.empty() ? "" : ", ") + f;
  CLI::App* set = settings->add_subcommand(
      "set",
      "Change one field. Check boxes take 1/0 (on/off); hits (100-30000), timeout "
      "(30-90) and retry (3-99) digits; proxy at most 200 characters (\"\" for none); mode sites "
      "or "
      "engines; width and splitter whole twips. Exits 2 for a value the record cannot "
      "hold.");
  set->add_option("field", options->field, "One of: " + fieldList)->required();
  set->add_option("value", options->value, "The new value")->required();
  set->callback([options, &global, &exitCode] {
    exitCode = setSetting(global, options->field, options->value);
  });
});

}  // namespace

}  // namespace quexa::cli
