// quexa-cli fetch URL [--timeout S] [--retry N] [--proxy HOST]: fetches one
// page the way a site search does (retries, time-outs, proxy) and prints it
// from its body tag on; stderr tells whether it is a server's error page.
#include <iostream>
#include <optional>

#include "app/errors.h"
#include "app/search_frame.h"
#include "app/settings.h"
#include "app/state.h"
#include "app/transcript.h"
#include "arguments.h"
#include "command.h"
#include "net/curl_fetcher.h"
#include "net/fetch_page.h"
#include "search_run.h"
#include "transcript_output.h"

namespace quexa::cli {

namespace {

struct FetchOptions {
  std::string url;
  std::optional<std::string> timeout;  // texts, read like the settings boxes
  std::optional<std::string> retry;
  std::optional<std::string> proxy;
};

// The saved settings, with the flags put over them.
Settings transferSettings(const FetchOptions& o, const GlobalOptions& global) {
  Settings s = loadSettings(global.dataDir());
  if (o.timeout) s.timeoutText = *o.timeout;
  if (o.retry) s.retryText = *o.retry;
  if (o.timeout) requireSpinNumber("--timeout", *o.timeout, kTimeoutSpin);
  if (o.retry) requireSpinNumber("--retry", *o.retry, kRetrySpin);
  if (o.proxy) s.proxyText = *o.proxy;
  return s;
}

int runFetch(const FetchOptions& o, const GlobalOptions& global) {
  AppState state;
  SignalPump pump(state.stopRequest);
  CurlFetcher fetcher(pump);
  pump.onStop = [&fetcher] { fetcher.cancel(); };
  CliWindow window;
  window.onEvent = [](const TranscriptEvent& e) {
    if (e.kind == TranscriptEvent::Kind::Status) std::cerr << terminalText(e.text) << "\n";
    if (e.kind == TranscriptEvent::Kind::Fetch)
      std::cerr << "fetch " << terminalText(e.text) << "\n";
  };
  FetchSession session(fetcher, pump, window, state);
  session.onAttempt = [&window](const std::string& url) { window.recordFetch(url); };

  try {
    configureTransfer(session, transferSettings(o, global));
  } catch (const QuexaError& e) {
    throw CommandFailure{kExitUsage, e.what()};
  }

  std::string text;
  try {
    fetcher.cancel();
    window.setStatus("Searching " + o.url);
    text = fetchPage(session, o.url);
  } catch (const SearchEnd& end) {
    fetcher.cancel();
    if (end.reason() == EndReason::Stopped) {
      std::cerr << kStatusStopped << "\n";
      return kExitStopped;
    }
    throw CommandFailure{kExitFailed, "the page could not be fetched: " + o.url};
  }
  const bool serverError = isServerErrorPage(text, session.pagesFetched);
  std::cout << cutAtBody(text);
  std::cout.flush();
  std::cerr << "server error: " << (serverError ? "yes" : "no") << "\n";
  return kExitOk;
}

CommandRegistrar registrar(55, [](CLI::App& app, GlobalOptions& global, int& exitCode) {
  auto options = std::make_shared<FetchOptions>();
  CLI::App* sub = app.add_subcommand(
      "fetch",
      "Fetch one page as a site search does (empty answers and time-outs retried) and print it "
      "from its body tag on. Exits 0 when a page (maybe empty) came back, 1 when the transfer "
      "failed or the time-outs were used up, 2 on bad usage, 3 when stopped with Ctrl-C.");
  sub->add_option("url", options->url, "The page's URL")->required();
  sub->add_option("--timeout", options->timeout, "Request time-out in seconds (default: saved)");
  sub->add_option("--retry", options->retry,
                  "Retries of an empty or timed-out answer (default: saved)");
  sub->add_option("--proxy", options->proxy,
                  "Proxy server, host[:port] (default: saved; \"\" for none)");
  sub->callback([options, &global, &exitCode] { exitCode = runFetch(*options, global); });
});

}  // namespace

}  // namespace quexa::cli
