// quexa-cli: the searches and the data files without a window.
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "app/state.h"
#include "arguments.h"
#include "command.h"

namespace quexa::cli {

std::vector<std::pair<int, CommandSetup>>& registeredCommands() {
  static std::vector<std::pair<int, CommandSetup>> commands;
  return commands;
}

std::string GlobalOptions::dataDir() const {
  std::error_code ec;
  std::string dir =
      dataDirOption.empty() ? std::filesystem::current_path(ec).string() : dataDirOption;
  return quexa::dataDirFor(dir);
}

CommandRegistrar::CommandRegistrar(int order, CommandSetup setup) {
  registeredCommands().emplace_back(order, std::move(setup));
}

}  // namespace quexa::cli

int main(int argc, char** argv) {
  using namespace quexa::cli;
  CLI::App app{"Quexa 2.0 - search any text in any Web page, from the command line"};
  app.require_subcommand(1);
  GlobalOptions global;
  app.add_option("--data-dir", global.dataDirOption,
                 "Data directory (default: the current directory)");
  app.add_option("--connections", global.connections, "Connections used to fetch pages (1-16)")
      ->check(CLI::Range(1, 16));
  int exitCode = kExitOk;
  auto& commands = registeredCommands();
  std::stable_sort(commands.begin(), commands.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto& [order, setup] : commands) setup(app, global, exitCode);
  keepArgumentsExact(app);
  std::vector<std::string> args = markBracketedArguments(argc, argv);
  std::vector<char*> argPointers;
  for (std::string& arg : args) argPointers.push_back(arg.data());
  try {
    app.parse(static_cast<int>(argPointers.size()), argPointers.data());
  } catch (const CLI::ParseError& e) {
    // The parser's message quotes the arguments: no control character of
    // theirs reaches the terminal.
    std::ostringstream out, err;
    int code = app.exit(e, out, err);
    std::cout << out.str();
    std::cerr << terminalText(err.str(), true);
    return code == 0 ? kExitOk : kExitUsage;
  } catch (const CommandFailure& f) {
    std::cerr << "quexa-cli: " << terminalText(f.message) << "\n";
    return f.exitCode;
  } catch (const std::exception& e) {
    std::cerr << "quexa-cli: " << terminalText(e.what()) << "\n";
    return kExitFailed;
  }
  return exitCode;
}
