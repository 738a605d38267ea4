#include "arguments.h"

#include "app/text.h"
#include "command.h"

namespace quexa::cli {

namespace {

// Appended to an argument of the form "[...]", so the parser no longer sees
// a list. Arguments that already end in it get one more, so taking one off
// always gives back the argument as typed.
constexpr char kMark = '\x1f';

bool isMarkable(std::string_view arg) {
  size_t end = arg.size();
  while (end > 0 && arg[end - 1] == kMark) --end;
  return end >= 2 && arg.front() == '[' && arg[end - 1] == ']';
}

std::string marked(std::string arg) {
  // "--name=[...]" hands the parser "[...]" as the value.
  const size_t equals = arg.rfind("--", 0) == 0 ? arg.find('=') : std::string::npos;
  const std::string_view value = equals == std::string::npos
                                     ? std::string_view(arg)
                                     : std::string_view(arg).substr(equals + 1);
  if (isMarkable(value)) arg.push_back(kMark);
  return arg;
}

std::string unmarked(std::string value) {
  if (isMarkable(value) && value.back() == kMark) value.pop_back();
  return value;
}

void keepOptionsExact(CLI::App& app) {
  for (CLI::Option* option : app.get_options()) {
    if (option->get_items_expected_max() == 0) continue;  // a flag takes no value
    option->transform([](std::string value) { return unmarked(std::move(value)); });
  }
  for (CLI::App* sub : app.get_subcommands([](CLI::App*) { return true; })) keepOptionsExact(*sub);
}

}  // namespace

std::vector<std::string> markBracketedArguments(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) args.push_back(i == 0 ? argv[i] : marked(argv[i]));
  return args;
}

void keepArgumentsExact(CLI::App& app) {
  keepOptionsExact(app);
}

void requireSpinNumber(std::string_view name, const std::string& text, SpinRange range) {
  int64_t n = 0;
  if (!parseWholeNumber(text, n) || n < range.min || n > range.max)
    throw CommandFailure{kExitUsage, std::string(name) + " takes a whole number from " +
                                         std::to_string(range.min) + " to " +
                                         std::to_string(range.max) + ", not \"" +
                                         terminalText(text) + "\""};
}

std::string terminalText(std::string_view text, bool keepLines) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (keepLines && (c == '\n' || c == '\t')) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x20 || c == 0x7f) {
      out.push_back('?');
    } else if (c == 0xc2 && i + 1 < text.size() &&
               static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(text[i + 1]) <= 0x9f) {
      out.push_back('?');  // a C1 control, which some terminals obey too
      ++i;
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  return out;
}

}  // namespace quexa::cli
