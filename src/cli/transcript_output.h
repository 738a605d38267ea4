// How quexa-cli shows a search: progress on stderr, results on stdout as
// text, RTF or a JSON Lines transcript of everything the search does to the
// window.
#pragma once

#include <csignal>
#include <functional>
#include <iosfwd>
#include <string>

#include "app/transcript.h"
#include "net/fetcher.h"

namespace quexa::cli {

enum class OutputFormat { Text, Rtf, Json };

// Parses "text", "rtf" or "json"; throws CommandFailure (usage) otherwise.
OutputFormat parseOutputFormat(const std::string& name);

// One transcript event as its JSON line, or "" for events the transcript does
// not carry (make-visible, beeps, message boxes).
std::string jsonLine(const TranscriptEvent& event);
std::string endJsonLine(bool stopped, int found, const std::string& status);

// Ctrl-C (SIGINT), SIGTERM and SIGHUP are the window's Stop: the pump
// copies the signal flag into the stop request, so the search sees it at its
// next stop check, and calls onStop, which abandons the transfer in progress
// rather than waiting for its time-out. The search then ends as stopped and
// prints what it found. One pump at a time (the search's thread); the signal
// handlers only set a flag.
class SignalPump : public EventPump {
 public:
  explicit SignalPump(int16_t& stopRequest);
  ~SignalPump() override;
  void pump() override;
  static bool interrupted();

  std::function<void()> onStop;

 private:
  int16_t& stopRequest_;
};

}  // namespace quexa::cli
