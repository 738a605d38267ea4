// quexa-cli sites --index NAME [TEXT [AND|OR|NOT TEXT]...]: the "My Web
// Sites" search over the URLs of one index, fetching each listed page or
// crawling each site over its own links.
#include <algorithm>
#include <memory>

#include "data/index_file.h"
#include "search/site_search.h"
#include "search_run.h"

namespace quexa::cli {

namespace {

struct SitesOptions {
  SearchOptions search;
  std::string index;
};

int runSites(const SitesOptions& o, const GlobalOptions& global) {
  const OutputFormat format = parseOutputFormat(o.search.format);
  MainControls controls = searchControls(o.search, global);
  const std::string dataDir = global.dataDir();
  // The index chooser holds every index name with the chosen one as its text.
  const std::vector<std::string> names = loadIndexNames(dataDir);
  // The window only offers indexes that exist; a name typed here may not.
  if (std::find(names.begin(), names.end(), o.index) == names.end())
    throw CommandFailure{kExitUsage, "no index named \"" + o.index + "\""};
  controls.searchCatText = o.index;
  controls.searchCatCount = names.size();
  controls.listCategory = loadIndexUrls(dataDir, o.index);
  controls.frameMineEnabled = true;

  SearchSession session(global);
  return runSearch(session, format, Pane::All, [&controls](SearchSession& s) {
    SiteSearchContext context{s.state, s.window, s.fetcher, s.pump, s.matcher, controls};
    SearchOutcome outcome;
    outcome.end = searchMineSites(context);
    outcome.found = context.foundCount;
    return outcome;
  });
}

CommandRegistrar registrar(40, [](CLI::App& app, GlobalOptions& global, int& exitCode) {
  auto options = std::make_shared<SitesOptions>();
  CLI::App* sub = app.add_subcommand(
      "sites",
      "Search the Web sites of an index for the texts and list every matching page. Exits 0 when "
      "the search ran to its end (or to Maximum Sites), 1 when a failure ended it, 2 on bad "
      "usage or refused input, 3 when stopped with Ctrl-C, SIGTERM or SIGHUP.");
  sub->add_option("--index", options->index, "The index whose URLs are searched")->required();
  addSearchModeOptions(*sub, options->search);
  addSearchOptions(*sub, options->search);
  sub->callback([options, &global, &exitCode] { exitCode = runSites(*options, global); });
});

}  // namespace

}  // namespace quexa::cli
