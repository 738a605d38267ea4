#include "search_run.h"

#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "app/settings.h"
#include "app/text.h"
#include "arguments.h"
#include "data/options_file.h"
#include "net/parallel_fetcher.h"
#include "results/rich_text.h"
#include "results/rtf_reader.h"
#include "results/rtf_writer.h"

namespace quexa::cli {

using Kind = TranscriptEvent::Kind;

void addSearchOptions(CLI::App& sub, SearchOptions& o) {
  sub.add_option("texts", o.words,
                 "Search texts joined by connectors: TEXT [AND|OR|NOT TEXT]... (at most four "
                 "texts)");
  auto* matchCase = sub.add_flag("--case", o.matchCase, "Match case (default: saved)");
  auto* ignoreCase = sub.add_flag("--no-case", o.ignoreCase, "Ignore case (default: saved)");
  matchCase->excludes(ignoreCase);
  sub.add_option("--max-sites", o.maxSites, "Maximum Sites, 100-30000 (default: saved)");
  sub.add_option("--timeout", o.timeout, "Request time-out in seconds, 30-90 (default: saved)");
  sub.add_option("--retry", o.retry,
                 "Retries of an empty or timed-out answer, 3-99 (default: saved)");
  sub.add_option("--proxy", o.proxy, "Proxy server, host[:port] (default: saved; \"\" for none)");
  sub.add_option("--format", o.format, "Output: text, rtf or json (JSON Lines of the transcript)")
      ->capture_default_str();
}

void addSearchModeOptions(CLI::App& sub, SearchOptions& o) {
  auto* all = sub.add_flag("--all-links", o.allLinks, "Crawl each site over its links");
  auto* single = sub.add_flag("--single-page", o.singlePage, "Search only the listed pages");
  all->excludes(single);
  auto* standard = sub.add_flag("--standard-links", o.standardLinks,
                                "Crawl by the standard link rules: real HTML links resolved "
                                "against their page, https, robots.txt (default: qxoptions.ini)");
  auto* classic = sub.add_flag("--classic-links", o.classicLinks,
                               "Crawl by the classic link rules (default: qxoptions.ini)");
  standard->excludes(classic);
  sub.add_flag("--ignore-robots", o.ignoreRobots,
               "Standard links: do not read robots.txt (for sites of your own)");
}

namespace {
std::optional<int32_t> connectorCode(const std::string& word) {
  const std::string w = lowerSameLength(word);
  if (w == "and") return kConnectorAnd;
  if (w == "or") return kConnectorOr;
  if (w == "not") return kConnectorNot;
  return std::nullopt;
}

[[noreturn]] void usage(const std::string& message) {
  throw CommandFailure{kExitUsage, message};
}
}  // namespace

void applySearchWords(const std::vector<std::string>& words, MainControls& controls) {
  controls.searchText = {};
  controls.connector = {kConnectorAnd, kConnectorAnd, kConnectorAnd};
  size_t texts = 0;
  for (size_t i = 0; i < words.size(); ++i) {
    if (i % 2 == 1) {
      std::optional<int32_t> code = connectorCode(words[i]);
      if (!code) usage("expected AND, OR or NOT before '" + words[i] + "'");
      if (i + 1 == words.size()) usage("a text must follow '" + words[i] + "'");
      controls.connector[texts - 1] = *code;
      continue;
    }
    if (texts == controls.searchText.size()) usage("at most four search texts");
    controls.searchText[texts++] = words[i];
  }
}

MainControls searchControls(const SearchOptions& o, const GlobalOptions& global) {
  MainControls controls;
  controls.settings = loadSettings(global.dataDir());
  Settings& s = controls.settings;
  if (o.matchCase) s.optCase = true;
  if (o.ignoreCase) s.optCase = false;
  if (o.allLinks) s.optSearchAll = true;
  if (o.singlePage) s.optSearchAll = false;
  if (o.maxSites) s.hitsText = *o.maxSites;
  if (o.timeout) s.timeoutText = *o.timeout;
  if (o.retry) s.retryText = *o.retry;
  // A time-out of 0 would wait for ever and a retry count past the spin bar
  // would hold a dead site for hours: the flags keep to the spin bars.
  if (o.maxSites) requireSpinNumber("--max-sites", *o.maxSites, kHitsSpin);
  if (o.timeout) requireSpinNumber("--timeout", *o.timeout, kTimeoutSpin);
  if (o.retry) requireSpinNumber("--retry", *o.retry, kRetrySpin);
  if (o.proxy) s.proxyText = *o.proxy;
  // The saved choice of link rules, read without creating the file.
  const std::string dataDir = global.dataDir();
  if (std::filesystem::exists(dataDir + kOptionsFileName)) {
    const Options saved = loadOptions(dataDir);
    controls.standardLinks = saved.standardLinks;
    controls.ignoreRobots = saved.ignoreRobots;
  }
  if (o.standardLinks) controls.standardLinks = true;
  if (o.classicLinks) controls.standardLinks = false;
  if (o.ignoreRobots) controls.ignoreRobots = true;
  applySearchWords(o.words, controls);
  return controls;
}

void CliWindow::reportUnfetched(std::string_view url, std::string_view reason) {
  TranscriptWindow::reportUnfetched(url, reason);
  std::cerr << "quexa-cli: " << terminalText(url) << ": " << terminalText(reason) << "\n";
}

FetchResult AttemptRecordingFetcher::fetch(const std::string& url, int timeoutSeconds) {
  FetchResult result = RecordingFetcher::fetch(url, timeoutSeconds);
  if (result.status == FetchStatus::Timeout || result.status == FetchStatus::Failed)
    std::cerr << "quexa-cli: " << terminalText(url) << ": "
              << terminalText(result.error.empty() ? std::string("no answer") : result.error)
              << "\n";
  return result;
}

std::unique_ptr<Fetcher> makeFetcher(EventPump& pump, int connections) {
  if (connections <= 1) return std::make_unique<CurlFetcher>(pump);
  return std::make_unique<ParallelFetcher>(pump, connections);
}

SearchSession::SearchSession(const GlobalOptions& global)
    : pump(state.stopRequest),
      network(makeFetcher(pump, global.connections)),
      fetcher(*network, window) {
  state.dataDir = global.dataDir();
  pump.onStop = [this] { network->cancel(); };
}

namespace {

void streamEvents(TranscriptWindow& window, OutputFormat format) {
  window.onEvent = [format](const TranscriptEvent& e) {
    switch (e.kind) {
      case Kind::Message:
      case Kind::ErrorDialog:
        std::cerr << terminalText(e.title) << ": " << terminalText(e.text) << "\n";
        break;
      case Kind::Status:
        if (format != OutputFormat::Json && !e.text.empty())
          std::cerr << terminalText(e.text) << "\n";
        break;
      default:
        break;
    }
    if (format == OutputFormat::Json) {
      const std::string line = jsonLine(e);
      if (!line.empty()) std::cout << line << "\n" << std::flush;
    }
  };
  // The error dialog is answered Ignore (the search ends); Abort never comes.
  window.onAbort = [] { std::_Exit(kExitFailed); };
}

RichText paneContent(const TranscriptWindow& window, Pane pane) {
  RichText content;
  for (const std::string& document : window.paneDocuments(pane)) appendRtf(content, document);
  return content;
}

int exitStatusOf(const SearchOutcome& outcome) {
  if (!outcome.end) return kExitUsage;
  switch (*outcome.end) {
    case EndReason::Completed:
      return kExitOk;
    case EndReason::Stopped:
      return kExitStopped;
    case EndReason::Failed:
      return kExitFailed;
  }
  return kExitFailed;
}

}  // namespace

int runSearch(SearchSession& session, OutputFormat format, Pane resultPane,
              const SearchDriver& driver) {
  streamEvents(session.window, format);
  const SearchOutcome outcome = driver(session);
  switch (format) {
    case OutputFormat::Json: {
      const bool stopped = !outcome.end || *outcome.end != EndReason::Completed;
      std::cout << endJsonLine(stopped, static_cast<int>(outcome.found), session.window.status)
                << "\n";
      break;
    }
    case OutputFormat::Text: {
      const std::string text = plainText(paneContent(session.window, resultPane));
      if (!trim(text).empty()) std::cout << terminalText(text, true) << "\n";
      break;
    }
    case OutputFormat::Rtf:
      std::cout << writeRtf(paneContent(session.window, resultPane));
      break;
  }
  std::cout.flush();
  return exitStatusOf(outcome);
}

}  // namespace quexa::cli
