// quexa-cli's subcommands. Each cmd_*.cpp registers itself with a static
// CommandRegistrar, so adding a command touches no other file.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <string>
#include <vector>

namespace quexa::cli {

// Options every subcommand sees.
struct GlobalOptions {
  std::string dataDirOption;  // --data-dir as given
  int connections = 4;
  // The data directory with a trailing '/': --data-dir, else the current directory.
  std::string dataDir() const;
};

// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitStopped = 3;

// Thrown by a command to end with a one-line message on stderr.
struct CommandFailure {
  int exitCode;
  std::string message;
};

// A command adds its subcommand to the app; the callback it sets returns
// through `exitCode`.
using CommandSetup = std::function<void(CLI::App& app, GlobalOptions& global, int& exitCode)>;

struct CommandRegistrar {
  CommandRegistrar(int order, CommandSetup setup);
};

std::vector<std::pair<int, CommandSetup>>& registeredCommands();

}  // namespace quexa::cli
