// quexa-cli links URL TEXT [AND|OR|NOT TEXT]...: "Search Web Site" on one
// page, the way the window searches a selected hit: that page alone, or with
// --all-links every page of its host reachable from it. The results are the
// page pane's linked page entries.
#include <iostream>
#include <memory>

#include "results/node_keys.h"
#include "search/linked_search.h"
#include "search_run.h"

namespace quexa::cli {

namespace {

struct LinksOptions {
  SearchOptions search;
  std::string url;
};

int runLinks(const LinksOptions& o, const GlobalOptions& global) {
  const OutputFormat format = parseOutputFormat(o.search.format);
  // The command has no input checks of its own: without a text every page
  // would be searched for nothing.
  if (o.search.words.empty()) throw CommandFailure{kExitUsage, "a search text is required"};
  MainControls controls = searchControls(o.search, global);
  controls.frameMineEnabled = false;  // the command belongs to the "Web Engines" mode

  SearchSession session(global);
  // The window takes the URL from a node key, so it is always lower case;
  // the standard link rules keep an address's letter case.
  session.state.selectedPageUrl = controls.standardLinks ? o.url : urlFromNodeKey(o.url);
  return runSearch(session, format, Pane::Page, [&controls, format](SearchSession& s) {
    ResultTools tools{s.state, s.window, s.fetcher, s.pump, s.matcher};
    const LinkedSearchResult result = searchPage_Click(tools, controls);
    if (format != OutputFormat::Json) std::cerr << s.state.linkStatus << "\n";
    SearchOutcome outcome;
    if (result.started) outcome.end = result.reason;
    outcome.found = result.linkedMatched;
    return outcome;
  });
}

CommandRegistrar registrar(45, [](CLI::App& app, GlobalOptions& global, int& exitCode) {
  auto options = std::make_shared<LinksOptions>();
  CLI::App* sub = app.add_subcommand(
      "links",
      "Search one page for the texts, or with --all-links the pages of its host linked from it, "
      "as \"Search Web Site\" does for a selected hit, up to Maximum Sites pages; stderr ends with "
      "\"Links: "
      "matched/fetched\". "
      "The URL is taken in lower case. Exits 0 when the search ran to its end, 1 when a failure "
      "ended it, 3 when stopped with Ctrl-C, SIGTERM or SIGHUP, 2 on bad usage.");
  sub->add_option("url", options->url, "The page to search")->required();
  addSearchModeOptions(*sub, options->search);
  addSearchOptions(*sub, options->search);
  sub->callback([options, &global, &exitCode] { exitCode = runLinks(*options, global); });
});

}  // namespace

}  // namespace quexa::cli
