// quexa-cli match FILE TEXT [AND|OR|NOT TEXT]... [--case]: matches a saved
// page the way a site search matches a fetched one.
#include <fstream>
#include <iostream>
#include <sstream>

#include "app/controls.h"
#include "app/errors.h"
#include "app/text.h"
#include "arguments.h"
#include "command.h"
#include "match/dl_matcher.h"
#include "match/expression.h"
#include "match/extract_text.h"
#include "match/page_match.h"
#include "net/fetch_page.h"

namespace quexa::cli {

namespace {

struct MatchOptions {
  std::string file;
  std::vector<std::string> terms;  // TEXT, then pairs of connector and TEXT
  bool matchCase = false;
};

int32_t connectorCode(const std::string& word) {
  std::string w = lowerSameLength(word);
  if (w == "and") return kConnectorAnd;
  if (w == "or") return kConnectorOr;
  if (w == "not") return kConnectorNot;
  throw CommandFailure{kExitUsage, "expected AND, OR or NOT, not \"" + word + "\""};
}

MainControls controlsFor(const MatchOptions& o) {
  if (o.terms.size() % 2 == 0)
    throw CommandFailure{kExitUsage, "a connector must be followed by a text"};
  if (o.terms.size() > 7) throw CommandFailure{kExitUsage, "at most four texts"};
  MainControls c;
  c.settings.optCase = o.matchCase;
  c.searchText[0] = o.terms[0];
  for (size_t k = 1; k < o.terms.size(); k += 2) {
    c.connector[k / 2] = connectorCode(o.terms[k]);
    c.searchText[k / 2 + 1] = o.terms[k + 1];
  }
  return c;
}

std::string readPageFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw CommandFailure{kExitFailed, "cannot read " + path};
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

int runMatch(const MatchOptions& o, const GlobalOptions& global) {
  SearchExpression expression = buildExpression(controlsFor(o));
  std::string page = cutAtBody(readPageFile(o.file));
  DlMatcher matcher;
  std::string matchBuffer(kMatchBufferSize, ' ');
  PageMatch m = matchPage(global.dataDir(), page, false, expression, matcher, matchBuffer);
  std::cout << "match: " << (m.hit ? "yes" : "no") << " (result " << m.result << ")\n";
  if (m.hit) std::cout << terminalText(plainTextOfExtract(m.extract), true);
  return kExitOk;
}

CommandRegistrar registrar(60, [](CLI::App& app, GlobalOptions& global, int& exitCode) {
  auto options = std::make_shared<MatchOptions>();
  CLI::App* sub = app.add_subcommand(
      "match",
      "Match a saved page against up to four texts joined by AND, OR or NOT, and print its "
      "found lines. Exits 0 whether or not the page matches; 1 when the page or the matching "
      "library cannot be used; 2 on bad usage.");
  sub->add_option("file", options->file, "The page (HTML) to match")->required();
  sub->add_option("terms", options->terms, "TEXT [AND|OR|NOT TEXT]... (at most four texts)")
      ->required();
  sub->add_flag("--case", options->matchCase, "Match case (default: ignore case)");
  sub->callback([options, &global, &exitCode] {
    try {
      exitCode = runMatch(*options, global);
    } catch (const QuexaError& e) {
      throw CommandFailure{kExitFailed, e.what()};
    }
  });
});

}  // namespace

}  // namespace quexa::cli
