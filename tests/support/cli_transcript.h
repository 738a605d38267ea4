// Running quexa-cli as a process in a scratch data directory, and the JSON
// Lines its transcript is expected to hold for the events of a search run
// in-process: written here from the events, not by the command line's code.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "app/transcript.h"
#include "support/scratch_dir.h"

namespace quexa::test {

struct CliRun {
  int exitCode = -1;  // -1 when it did not exit by itself
  std::string out;
  std::string err;
};

// The shell command that runs quexa-cli on the directory's data with its
// output in the files "out" and "err" there.
inline std::string cliCommand(const testing::ScratchDir& dir, const std::string& args) {
  return "exec '" + std::string(QUEXA_BIN_DIR) + "/quexa-cli' --data-dir '" + dir.path() + "' " +
         args + " >'" + dir.file("out") + "' 2>'" + dir.file("err") + "'";
}

// What a run of that command left, given its wait status.
inline CliRun collectRun(const testing::ScratchDir& dir, int status) {
  CliRun run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = dir.read("out");
  run.err = dir.read("err");
  return run;
}

inline CliRun runCli(const testing::ScratchDir& dir, const std::string& args) {
  return collectRun(dir, std::system(cliCommand(dir, args).c_str()));
}

inline std::vector<nlohmann::json> jsonLines(const std::string& out) {
  std::vector<nlohmann::json> lines;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) lines.push_back(nlohmann::json::parse(line));
  return lines;
}

// The events the command line writes, in its shapes; what only a window
// shows (enabled buttons, scrolling, messages) is left out.
inline std::vector<nlohmann::json> transcriptLines(const std::vector<TranscriptEvent>& events) {
  using nlohmann::json;
  using Kind = TranscriptEvent::Kind;
  auto optional = [](const std::optional<std::string>& s) { return s ? json(*s) : json(nullptr); };
  std::vector<json> lines;
  for (const auto& e : events) {
    const char* pane = e.pane == Pane::All ? "all" : "page";
    switch (e.kind) {
      case Kind::Status:
      case Kind::Found:
        lines.push_back({{"event", e.kind == Kind::Status ? "status" : "found"}, {"text", e.text}});
        break;
      case Kind::Fetch:
        lines.push_back({{"event", "fetch"}, {"url", e.text}});
        break;
      case Kind::Insert:
        lines.push_back({{"event", "insert"}, {"pane", pane}, {"rtf", e.text}});
        break;
      case Kind::Clear:
      case Kind::Reset:  // written as what it is: emptied, then one blank
        lines.push_back({{"event", "clear"}, {"pane", pane}});
        if (e.kind == Kind::Reset)
          lines.push_back({{"event", "insert"}, {"pane", pane}, {"rtf", " "}});
        break;
      case Kind::Node:
        lines.push_back({{"event", "node"},
                         {"parent", optional(e.parentKey)},
                         {"key", e.key},
                         {"text", e.text},
                         {"image", e.image},
                         {"expanded", optional(e.expandedImage)}});
        break;
      default:
        break;
    }
  }
  return lines;
}

}  // namespace quexa::test
