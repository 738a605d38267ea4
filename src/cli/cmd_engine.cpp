// quexa-cli engine add|list|remove: the user's own Web engines in
// qxengines.ini. "add" takes an address template holding {searchTerms} and
// a format, or the address of an OpenSearch description document.
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/text.h"
#include "command.h"
#include "data/engine_file.h"
#include "net/curl_fetcher.h"
#include "search/engines/opensearch/description_document.h"

namespace quexa::cli {

namespace {

constexpr int kDescriptionTimeout = 30;

struct EngineOptions {
  std::vector<std::string> addArgs;  // [NAME] ADDRESS
  std::string format;
  std::string removeName;
};

[[noreturn]] void refuse(const std::string& message) {
  throw CommandFailure{kExitUsage, message};
}

// The description document behind the address, read into an engine.
UserEngine describedEngine(const std::string& address) {
  NullPump pump;
  CurlFetcher fetcher(pump);
  const FetchResult result = fetcher.fetch(address, kDescriptionTimeout);
  if (result.status != FetchStatus::Ok || result.body.empty())
    throw CommandFailure{kExitFailed, "cannot fetch the description document " + address +
                                          (result.error.empty() ? "" : ": " + result.error)};
  DescribedEngine described = readDescriptionDocument(result.body);
  if (!described.usable) refuse(address + ": " + described.error);
  return described.engine;
}

int addEngine(const EngineOptions& o, const std::string& dataDir) {
  const std::string address = o.addArgs.back();
  const bool isTemplate = address.find("{searchTerms}") != std::string::npos;
  UserEngine engine;
  if (isTemplate) {
    engine.urlTemplate = address;
    if (o.format.empty()) refuse("an engine address needs --format rss, atom or searxng-json");
  } else {
    engine = describedEngine(address);
  }
  if (!o.format.empty()) {
    const std::optional<ResultFormat> format = formatNamed(o.format);
    if (!format) refuse("unknown format '" + o.format + "' (rss, atom or searxng-json)");
    engine.format = *format;
  }
  if (o.addArgs.size() == 2) engine.name = o.addArgs.front();
  if (engine.name.empty()) refuse("the description document gives no name; name the engine");
  engine.ticked = true;
  try {
    addUserEngine(dataDir, engine);
  } catch (const std::invalid_argument& refused) {
    refuse(refused.what());
  }
  std::cout << engine.name << "\t" << formatName(engine.format) << "\t" << engine.urlTemplate
            << "\n";
  return kExitOk;
}

int listEngines(const std::string& dataDir) {
  for (const UserEngine& e : loadUserEngines(dataDir))
    std::cout << e.name << "\t" << formatName(e.format) << "\t" << (e.ticked ? "ticked" : "-")
              << "\t" << e.urlTemplate << "\n";
  return kExitOk;
}

int removeEngine(const std::string& name, const std::string& dataDir) {
  if (!removeUserEngine(dataDir, name)) refuse("no engine named '" + name + "'");
  return kExitOk;
}

CommandRegistrar registrar(42, [](CLI::App& app, GlobalOptions& global, int& exitCode) {
  auto options = std::make_shared<EngineOptions>();
  CLI::App* sub = app.add_subcommand(
      "engine", "Keep the Web engines of today (qxengines.ini): add, list, remove.");
  sub->require_subcommand(1);
  CLI::App* add = sub->add_subcommand(
      "add",
      "Add an engine from an address template holding {searchTerms} (with --format), or from "
      "the address of an OpenSearch description document. The new engine is ticked.");
  add->add_option("args", options->addArgs, "[NAME] ADDRESS")->required()->expected(1, 2);
  add->add_option("--format", options->format, "rss, atom or searxng-json");
  add->callback(
      [options, &global, &exitCode] { exitCode = addEngine(*options, global.dataDir()); });
  CLI::App* list = sub->add_subcommand("list", "List the engines: name, format, tick, address.");
  list->callback([&global, &exitCode] { exitCode = listEngines(global.dataDir()); });
  CLI::App* remove = sub->add_subcommand("remove", "Remove the engine of this name.");
  remove->add_option("name", options->removeName, "NAME")->required();
  remove->callback([options, &global, &exitCode] {
    exitCode = removeEngine(options->removeName, global.dataDir());
  });
});

}  // namespace

}  // namespace quexa::cli
