// quexa-cli index list|show|create|add|remove|delete: the indexes of
// qxindex.ini, changed through the index editor's own steps, so the command
// line refuses and saves exactly what the editor window would.
#include <algorithm>
#include <filesystem>
#include <iostream>

#include "app/text.h"
#include "app/transcript.h"
#include "arguments.h"
#include "command.h"
#include "data/data_dir_lock.h"
#include "data/index_editor.h"
#include "data/index_file.h"
#include "data/options_file.h"
#include "data/sections.h"
#include "data/text_file.h"
#include "data/word_list.h"

namespace quexa::cli {

namespace {

struct IndexOptions {
  std::string name;
  std::vector<std::string> urls;
};

// The editor, opened as the "&Index" button opens it, answering every
// question with Yes.
struct EditorSession {
  // Held from the editor's first read to its last write.
  DataDirLock lock;
  TranscriptWindow window;
  MainWindowLists main;
  IndexEditor editor;

  explicit EditorSession(const std::string& dataDir)
      : lock(dataDir), editor(dataDir, window, main) {
    editor.formLoad();
    // https addresses come with the standard link rules, read without
    // creating qxoptions.ini.
    if (std::filesystem::exists(dataDir + kOptionsFileName))
      editor.acceptHttps = loadOptions(dataDir).standardLinks;
  }

  bool lists(const std::string& name) const {
    return std::find(editor.dirCat.begin(), editor.dirCat.end(), name) != editor.dirCat.end();
  }

  // A refusal shown by the editor becomes the command's failure: a text the
  // editor never takes is bad usage, anything else a failure.
  [[noreturn]] void failWithLastMessage() const {
    auto messages = window.eventsOf(TranscriptEvent::Kind::Message);
    if (messages.empty()) throw CommandFailure{kExitFailed, "the index editor did not save"};
    const auto& last = messages.back();
    bool usage = last.title == "Invalid URL" || last.title == "Save Index";
    throw CommandFailure{usage ? kExitUsage : kExitFailed, last.text};
  }

  void addUrls(const std::vector<std::string>& urls) {
    for (const auto& url : urls) {
      editor.textURL = url;
      if (!editor.addURL()) failWithLastMessage();
    }
  }

  void save() {
    editor.dirOkClick();
    if (!editor.closed) failWithLastMessage();
  }
};

void refuseUnsafeName(const std::string& name) {
  if (name.find_first_of("\r\n") != std::string::npos)
    throw CommandFailure{kExitUsage, "an index name cannot hold a line break"};
  // The file could not give such a name back: its header would read as another name.
  if (name.find_first_of("[]") != std::string::npos)
    throw CommandFailure{kExitUsage, "an index name cannot hold [ or ]"};
}

void requireIndex(const EditorSession& session, const std::string& name) {
  if (!session.lists(name)) throw CommandFailure{kExitFailed, "no index named \"" + name + "\""};
}

// The editor rewrites every section headed exactly "[" + name + "]" with the
// addresses it read from all of that name's sections, and leaves a section
// headed otherwise (blanks around it) as it is. So an index is changed only
// when the file holds it in one section headed exactly; otherwise nothing is
// written and the command says why.
void requireOneExactSection(const std::string& dataDir, const std::string& name) {
  const std::vector<std::string> lines = readLines(dataDir + kIndexFileName);
  const std::vector<std::string> names = sectionNames(lines);
  const auto sections = std::count(names.begin(), names.end(), name);
  if (sections > 1)
    throw CommandFailure{kExitFailed, "qxindex.ini holds " + std::to_string(sections) +
                                          " sections named \"" + name +
                                          "\"; it was not changed (join them into one first)"};
  if (std::count(lines.begin(), lines.end(), sectionHeader(name)) != 1)
    throw CommandFailure{kExitFailed, "the section of \"" + name + "\" is not headed exactly [" +
                                          name + "] in qxindex.ini; it was not changed"};
}

// An address holding both brackets reads back as a header, ending the section.
void requireReadBack(const std::string& dataDir, const std::string& name,
                     const std::vector<std::string>& expected) {
  if (loadIndexUrls(dataDir, name) != expected)
    throw CommandFailure{kExitFailed, "qxindex.ini was saved, but the index \"" + name +
                                          "\" does not read back as saved"};
}

int listIndexes(const GlobalOptions& global) {
  for (const auto& name : loadIndexNames(global.dataDir())) std::cout << name << "\n";
  return kExitOk;
}

int showIndex(const GlobalOptions& global, const IndexOptions& o) {
  const auto names = loadIndexNames(global.dataDir());
  if (std::find(names.begin(), names.end(), o.name) == names.end())
    throw CommandFailure{kExitFailed, "no index named \"" + o.name + "\""};
  for (const auto& url : loadIndexUrls(global.dataDir(), o.name)) std::cout << url << "\n";
  return kExitOk;
}

int createIndex(const GlobalOptions& global, const IndexOptions& o) {
  refuseUnsafeName(o.name);
  EditorSession session(global.dataDir());
  const std::string name = ltrim(o.name);
  if (!name.empty() && name != kUnknownIndex && session.lists(name))
    throw CommandFailure{kExitFailed, "an index named \"" + name + "\" exists already"};
  session.editor.dirCatText = o.name;
  session.addUrls(o.urls);
  session.save();
  return kExitOk;
}

int addToIndex(const GlobalOptions& global, const IndexOptions& o) {
  EditorSession session(global.dataDir());
  requireIndex(session, o.name);
  requireOneExactSection(global.dataDir(), o.name);
  session.editor.dirCatClick(o.name);
  session.addUrls(o.urls);
  session.save();
  requireReadBack(global.dataDir(), o.name, session.editor.dirList);
  return kExitOk;
}

int removeFromIndex(const GlobalOptions& global, const IndexOptions& o) {
  EditorSession session(global.dataDir());
  requireIndex(session, o.name);
  requireOneExactSection(global.dataDir(), o.name);
  IndexEditor& editor = session.editor;
  editor.dirCatClick(o.name);
  // Every address is checked first, so a refusal changes nothing.
  for (const auto& url : o.urls)
    if (std::find(editor.dirList.begin(), editor.dirList.end(), url) == editor.dirList.end())
      throw CommandFailure{kExitFailed, "\"" + url + "\" is not in the index \"" + o.name + "\""};
  for (const auto& url : o.urls) {
    auto at = std::find(editor.dirList.begin(), editor.dirList.end(), url);
    editor.dirListClick(static_cast<int>(at - editor.dirList.begin()));
    editor.dirDelClick();
  }
  if (editor.dirList.empty()) {
    // As in the editor: the last address gone deletes the index and its search texts.
    std::cerr << "quexa-cli: no address left, the index \"" << terminalText(o.name)
              << "\" was deleted\n";
    return kExitOk;
  }
  session.save();
  requireReadBack(global.dataDir(), o.name, editor.dirList);
  return kExitOk;
}

int deleteIndex(const GlobalOptions& global, const IndexOptions& o) {
  EditorSession session(global.dataDir());
  requireIndex(session, o.name);
  deleteIndexSection(global.dataDir(), o.name);
  deleteWordSection(global.dataDir(), o.name);
  return kExitOk;
}

using IndexAction = int (*)(const GlobalOptions&, const IndexOptions&);

void addIndexCommand(CLI::App* index, GlobalOptions& global, int& exitCode, const char* name,
                     const char* description, bool takesUrls, IndexAction action) {
  auto options = std::make_shared<IndexOptions>();
  CLI::App* sub = index->add_subcommand(name, description);
  sub->add_option("name", options->name, "The index name")->required();
  if (takesUrls)
    sub->add_option("urls", options->urls,
                    "Addresses starting with http:// (or https:// with links=standard)")
        ->required();
  sub->callback([options, action, &global, &exitCode] { exitCode = action(global, *options); });
}

CommandRegistrar registrar(20, [](CLI::App& app, GlobalOptions& global, int& exitCode) {
  CLI::App* index =
      app.add_subcommand("index", "The indexes (named lists of site URLs) in qxindex.ini.");
  index->require_subcommand(1);
  index->add_subcommand("list", "Print every index name, in file order.")
      ->callback([&global, &exitCode] { exitCode = listIndexes(global); });
  addIndexCommand(index, global, exitCode, "show",
                  "Print the URLs of an index as a site search takes them.", false, showIndex);
  addIndexCommand(index, global, exitCode, "create",
                  "Create an index with these URLs (appended to qxindex.ini). Refuses an existing "
                  "name.",
                  true, createIndex);
  addIndexCommand(index, global, exitCode, "add",
                  "Add URLs to an index (its section is rewritten in place, sorted).", true,
                  addToIndex);
  addIndexCommand(index, global, exitCode, "remove",
                  "Remove URLs from an index; removing the last one deletes the index and its "
                  "saved search texts.",
                  true, removeFromIndex);
  addIndexCommand(index, global, exitCode, "delete", "Delete an index and its saved search texts.",
                  false, deleteIndex);
});

}  // namespace

}  // namespace quexa::cli
