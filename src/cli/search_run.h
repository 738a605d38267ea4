// What every searching subcommand of quexa-cli shares: the options that
// stand for the main window's search controls, the texts and connectors
// given as words, and one run of a search driver against a transcript
// window with its output in the chosen format.
#pragma once

#include <CLI/CLI.hpp>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/controls.h"
#include "app/errors.h"
#include "app/state.h"
#include "app/transcript.h"
#include "command.h"
#include "match/dl_matcher.h"
#include "net/curl_fetcher.h"
#include "transcript_output.h"

namespace quexa::cli {

// The search controls as flags; unset ones keep the saved settings.
struct SearchOptions {
  std::vector<std::string> words;  // TEXT [AND|OR|NOT TEXT]...
  bool matchCase = false;
  bool ignoreCase = false;
  bool allLinks = false;
  bool singlePage = false;
  bool standardLinks = false;           // --standard-links
  bool classicLinks = false;            // --classic-links
  bool ignoreRobots = false;            // --ignore-robots
  std::optional<std::string> maxSites;  // texts, read like the settings boxes
  std::optional<std::string> timeout;
  std::optional<std::string> retry;
  std::optional<std::string> proxy;
  std::string format = "text";
};

// The texts, --case/--no-case, the numbers, the proxy and --format.
void addSearchOptions(CLI::App& sub, SearchOptions& options);
// --all-links / --single-page and the link rules of the crawl
// (--standard-links / --classic-links, --ignore-robots), for the commands
// that can follow links.
void addSearchModeOptions(CLI::App& sub, SearchOptions& options);

// The words as the four search boxes and the connectors between them: a
// text, then a connector word (AND, OR or NOT, in any letter case) and a
// text, at most four texts. Throws CommandFailure (usage) otherwise.
void applySearchWords(const std::vector<std::string>& words, MainControls& controls);

// The controls of a search: the saved settings of the data directory with
// the flags put over them, and the texts.
MainControls searchControls(const SearchOptions& options, const GlobalOptions& global);

// The transcript window of the command line: what the window lists as pages
// not fetched goes to stderr, one line each.
class CliWindow : public TranscriptWindow {
 public:
  void reportUnfetched(std::string_view url, std::string_view reason) override;
};

// The recording fetcher that also tells on stderr why an attempt timed out
// or failed (an unreachable page is told once, by the window).
class AttemptRecordingFetcher : public RecordingFetcher {
 public:
  using RecordingFetcher::RecordingFetcher;
  FetchResult fetch(const std::string& url, int timeoutSeconds) override;
};

// The page fetcher for this many connections: with one, the plain fetcher.
std::unique_ptr<Fetcher> makeFetcher(EventPump& pump, int connections);

// Everything one search runs on, wired together.
struct SearchSession {
  explicit SearchSession(const GlobalOptions& global);

  AppState state;
  CliWindow window;
  SignalPump pump;
  std::unique_ptr<Fetcher> network;  // --connections: one, or fetching ahead over several
  AttemptRecordingFetcher fetcher;
  DlMatcher matcher;
};

// How a driver ended: nullopt when its input checks refused to start.
struct SearchOutcome {
  std::optional<EndReason> end;
  int64_t found = 0;
};

using SearchDriver = std::function<SearchOutcome(SearchSession&)>;

// Runs the driver and prints its results: json streams the transcript and
// ends with the end line; text and rtf print the result pane's documents
// (as plain text, or as the one RTF document "Sa&ve" writes) with the
// status texts on stderr. Message boxes go to stderr; the error dialog is
// answered Ignore after its text is printed. Returns the exit status: 0
// done, 1 failed, 2 refused, 3 stopped.
int runSearch(SearchSession& session, OutputFormat format, Pane resultPane,
              const SearchDriver& driver);

}  // namespace quexa::cli
