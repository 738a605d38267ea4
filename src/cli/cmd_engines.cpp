// quexa-cli engines [--engine NAME]... [--host ENGINE=HOST[:PORT]]... [TEXT
// [AND|OR|NOT TEXT]...]: the "Web Engines" search, asking each chosen engine
// for the texts and listing every hit its result pages name.
#include <memory>
#include <string>
#include <vector>

#include "search/engine_search.h"
#include "search/engines/engine_table.h"
#include "search/engines/queries.h"
#include "search_run.h"

namespace quexa::cli {

namespace {

struct EnginesOptions {
  SearchOptions search;
  std::vector<std::string> engines;
  std::vector<std::string> hosts;
};

[[noreturn]] void usage(const std::string& message) {
  throw CommandFailure{kExitUsage, message};
}

// --engine replaces the saved tick boxes; without it they stand.
void tickEngines(const std::vector<std::string>& names, Settings& settings) {
  if (names.empty()) return;
  for (Engine engine : kEngineOrder) settings.*engineRow(engine).tickBox = false;
  for (const std::string& name : names) {
    std::optional<Engine> engine = engineNamed(name);
    if (!engine)
      usage("unknown engine '" + name + "' (yahoo, lycos, infoseek, excite or altavista)");
    settings.*engineRow(*engine).tickBox = true;
  }
}

// qxhosts.ini of the data directory, then the --host assignments in order.
EngineHosts engineHosts(const std::vector<std::string>& assignments, const std::string& dataDir) {
  EngineHosts hosts = loadEngineHosts(dataDir);
  for (const std::string& assignment : assignments) {
    if (!applyHostOverride(hosts, assignment))
      usage("bad --host '" + assignment +
            "' (ENGINE=HOST[:PORT]; ENGINE is yahoo, yahoo-main, yahoo-second, lycos, infoseek, "
            "excite or altavista)");
  }
  return hosts;
}

int runEngines(const EnginesOptions& o, const GlobalOptions& global) {
  const OutputFormat format = parseOutputFormat(o.search.format);
  MainControls controls = searchControls(o.search, global);
  tickEngines(o.engines, controls.settings);
  controls.frameMineEnabled = false;
  const EngineHosts hosts = engineHosts(o.hosts, global.dataDir());

  SearchSession session(global);
  return runSearch(session, format, Pane::All, [&controls, &hosts](SearchSession& s) {
    EngineSearchContext context{s.state, s.window, s.fetcher, s.pump, controls, hosts};
    SearchOutcome outcome;
    outcome.end = searchWebEngines(context);
    outcome.found = context.foundCount;
    return outcome;
  });
}

CommandRegistrar registrar(41, [](CLI::App& app, GlobalOptions& global, int& exitCode) {
  auto options = std::make_shared<EnginesOptions>();
  CLI::App* sub = app.add_subcommand(
      "engines",
      "Send the texts to the Web search engines and list every hit of their result pages. Exits "
      "0 when the search ran to its end (or to Maximum Sites), 1 when a failure ended it, 2 on "
      "bad usage or refused input, 3 when stopped with Ctrl-C.");
  sub->add_option("--engine", options->engines,
                  "Engine to ask: yahoo, lycos, infoseek, excite or altavista (repeatable; "
                  "default: the saved tick boxes)")
      ->allow_extra_args(false);
  sub->add_option("--host", options->hosts,
                  "Where an engine is asked, ENGINE=HOST[:PORT] over qxhosts.ini (repeatable; "
                  "yahoo sets both Yahoo! hosts, yahoo-main and yahoo-second one each)")
      ->allow_extra_args(false);
  addSearchOptions(*sub, options->search);
  sub->callback([options, &global, &exitCode] { exitCode = runEngines(*options, global); });
});

}  // namespace

}  // namespace quexa::cli
