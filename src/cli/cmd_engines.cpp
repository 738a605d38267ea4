// quexa-cli engines [--engine NAME]... [--host ENGINE=HOST[:PORT]]...
// [--check-hits] [TEXT [AND|OR|NOT TEXT]...]: the "Web Engines" search,
// asking each chosen engine (the five, then the user's own) for the texts
// and listing every hit its result pages name, or with --check-hits every
// hit whose page holds the texts.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/text.h"
#include "data/engine_file.h"
#include "data/options_file.h"
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
  bool checkHits = false;
};

[[noreturn]] void usage(const std::string& message) {
  throw CommandFailure{kExitUsage, message};
}

// --engine replaces the saved ticks (of the five and of the user's
// engines); without it they stand. A user engine is named as in
// qxengines.ini, in any letter case.
void tickEngines(const std::vector<std::string>& names, Settings& settings,
                 std::vector<UserEngine>& userEngines) {
  if (names.empty()) return;
  for (Engine engine : kEngineOrder) settings.*engineRow(engine).tickBox = false;
  for (UserEngine& user : userEngines) user.ticked = false;
  for (const std::string& name : names) {
    if (std::optional<Engine> engine = engineNamed(name)) {
      settings.*engineRow(*engine).tickBox = true;
      continue;
    }
    bool found = false;
    for (UserEngine& user : userEngines) {
      if (lowerSameLength(user.name) != lowerSameLength(name)) continue;
      user.ticked = true;
      found = true;
    }
    if (!found)
      usage("unknown engine '" + name +
            "' (yahoo, lycos, infoseek, excite, altavista or one of 'quexa-cli engine list')");
  }
}

// --check-hits, else checkhits= of qxoptions.ini when there is one.
bool checkHitsChosen(bool flag, const std::string& dataDir) {
  if (flag) return true;
  std::error_code ec;
  if (!std::filesystem::exists(dataDir + kOptionsFileName, ec)) return false;
  return loadOptions(dataDir).checkHits;
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
  std::vector<UserEngine> userEngines = loadUserEngines(global.dataDir());
  tickEngines(o.engines, controls.settings, userEngines);
  controls.frameMineEnabled = false;
  const EngineHosts hosts = engineHosts(o.hosts, global.dataDir());
  const bool checkHits = checkHitsChosen(o.checkHits, global.dataDir());

  SearchSession session(global);
  return runSearch(session, format, Pane::All, [&](SearchSession& s) {
    EngineSearchContext context{s.state, s.window, s.fetcher, s.pump, controls, hosts};
    context.userEngines = userEngines;
    context.checkHits = checkHits;
    context.matcher = &s.matcher;
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
                  "Engine to ask: yahoo, lycos, infoseek, excite, altavista or the name of one "
                  "of your engines (repeatable; default: the saved ticks)")
      ->allow_extra_args(false);
  sub->add_option("--host", options->hosts,
                  "Where an engine is asked, ENGINE=HOST[:PORT] over qxhosts.ini (repeatable; "
                  "yahoo sets both Yahoo! hosts, yahoo-main and yahoo-second one each)")
      ->allow_extra_args(false);
  sub->add_flag("--check-hits", options->checkHits,
                "Fetch each hit's page and list only those that hold the texts (default: "
                "checkhits= of qxoptions.ini)");
  addSearchOptions(*sub, options->search);
  sub->callback([options, &global, &exitCode] { exitCode = runEngines(*options, global); });
});

}  // namespace

}  // namespace quexa::cli
