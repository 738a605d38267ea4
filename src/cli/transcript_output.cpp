#include "transcript_output.h"

#include <signal.h>

#include <nlohmann/json.hpp>

#include "command.h"

namespace quexa::cli {

using Kind = TranscriptEvent::Kind;
using nlohmann::json;

OutputFormat parseOutputFormat(const std::string& name) {
  if (name == "text") return OutputFormat::Text;
  if (name == "rtf") return OutputFormat::Rtf;
  if (name == "json") return OutputFormat::Json;
  throw CommandFailure{kExitUsage, "unknown format '" + name + "' (text, rtf or json)"};
}

namespace {
const char* paneName(Pane pane) {
  return pane == Pane::All ? "all" : "page";
}

std::string dump(const json& j) {
  // Page text may hold bytes that are not UTF-8; they become U+FFFD rather
  // than ending the transcript.
  return j.dump(-1, ' ', false, json::error_handler_t::replace);
}
}  // namespace

std::string jsonLine(const TranscriptEvent& e) {
  switch (e.kind) {
    case Kind::Status:
      return dump({{"event", "status"}, {"text", e.text}});
    case Kind::Found:
      return dump({{"event", "found"}, {"text", e.text}});
    case Kind::Node: {
      json j = {{"event", "node"}};
      j["parent"] = e.parentKey ? json(*e.parentKey) : json(nullptr);
      j["key"] = e.key;
      j["text"] = e.text;
      j["image"] = e.image;
      j["expanded"] = e.expandedImage ? json(*e.expandedImage) : json(nullptr);
      return dump(j);
    }
    case Kind::Insert:
      return dump({{"event", "insert"}, {"pane", paneName(e.pane)}, {"rtf", e.text}});
    case Kind::Clear:
      return dump({{"event", "clear"}, {"pane", paneName(e.pane)}});
    case Kind::Reset:
      // A reset is a clear followed by one blank inserted at the caret.
      return dump({{"event", "clear"}, {"pane", paneName(e.pane)}}) + "\n" +
             dump({{"event", "insert"}, {"pane", paneName(e.pane)}, {"rtf", " "}});
    case Kind::Fetch:
      return dump({{"event", "fetch"}, {"url", e.text}});
    default:
      return "";
  }
}

std::string endJsonLine(bool stopped, int found, const std::string& status) {
  return dump({{"event", "end"}, {"stopped", stopped}, {"found", found}, {"status", status}});
}

namespace {
volatile std::sig_atomic_t gInterrupted = 0;
extern "C" void onInterrupt(int) {
  gInterrupted = 1;
}

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

void setStopHandlers(void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : kStopSignals) sigaction(signal, &action, nullptr);
}
}  // namespace

SignalPump::SignalPump(int16_t& stopRequest) : stopRequest_(stopRequest) {
  gInterrupted = 0;
  setStopHandlers(onInterrupt);
}

SignalPump::~SignalPump() {
  setStopHandlers(SIG_DFL);
}

void SignalPump::pump() {
  if (!gInterrupted) return;
  stopRequest_ = 1;
  if (onStop) onStop();
}

bool SignalPump::interrupted() {
  return gInterrupted != 0;
}

}  // namespace quexa::cli
