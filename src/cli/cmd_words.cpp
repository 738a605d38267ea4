// quexa-cli words list|add|remove|clear (--index NAME | --engine) [TEXT...]:
// the saved search texts of an index (qxword.ini) or of the engine mode
// (qxwordeg.ini), changed as the word list's buttons change them.
#include <algorithm>
#include <iostream>
#include <optional>

#include "app/text.h"
#include "command.h"
#include "data/data_dir_lock.h"
#include "data/word_list.h"

namespace quexa::cli {

namespace {

struct WordsOptions {
  std::optional<std::string> index;
  bool engine = false;
  std::vector<std::string> texts;
};

enum class WordsAction { List, Add, Remove, Clear };

void requireOneList(const WordsOptions& o) {
  if (o.engine == o.index.has_value())
    throw CommandFailure{kExitUsage, "give either --index NAME or --engine"};
  if (o.index && o.index->find_first_of("\r\n") != std::string::npos)
    throw CommandFailure{kExitUsage, "an index name cannot hold a line break"};
}

WordList loadList(const GlobalOptions& global, const WordsOptions& o) {
  WordList list;
  list.addAll(o.engine ? loadEngineWordList(global.dataDir())
                       : loadWordList(global.dataDir(), *o.index));
  return list;
}

void saveList(const GlobalOptions& global, const WordsOptions& o, const WordList& list) {
  saveWordList(global.dataDir(), o.engine, o.engine ? "" : *o.index, list.entries());
}

// The texts as the boxes hold them after the user leaves them: trimmed, and
// no single letter.
std::vector<std::string> boxTexts(const std::vector<std::string>& texts) {
  std::vector<std::string> boxes;
  for (const auto& text : texts) {
    if (text.find_first_of("\r\n") != std::string::npos)
      throw CommandFailure{kExitUsage, "a search text cannot hold a line break"};
    std::array<std::string, 4> box{text, "", "", ""};
    if (trimBoxesAndFindSingleLetters(box)[0])
      throw CommandFailure{kExitUsage, "Search of single letter is invalid!"};
    boxes.push_back(box[0]);
  }
  return boxes;
}

void addTexts(WordList& list, const std::vector<std::string>& texts) {
  // ">>" takes the four boxes at a time.
  for (size_t at = 0; at < texts.size(); at += 4) {
    std::array<std::string, 4> boxes;
    for (size_t k = 0; k < 4 && at + k < texts.size(); ++k) boxes[k] = texts[at + k];
    addSearchTexts(list, boxes);
  }
}

void removeTexts(WordList& list, const std::vector<std::string>& texts) {
  for (const auto& text : texts)
    if (!list.contains(text))
      throw CommandFailure{kExitFailed, "\"" + text + "\" is not in the list"};
  for (const auto& text : texts) {
    const auto& entries = list.entries();
    list.removeAt(
        static_cast<size_t>(std::find(entries.begin(), entries.end(), text) - entries.begin()));
  }
}

int runWords(const GlobalOptions& global, const WordsOptions& o, WordsAction action) {
  requireOneList(o);
  // A change holds the lock from the load to the save, so a text another
  // process adds meanwhile is not written over. Listing only reads.
  std::optional<DataDirLock> lock;
  if (action != WordsAction::List) lock.emplace(global.dataDir());
  WordList list = loadList(global, o);
  switch (action) {
    case WordsAction::List:
      if (!o.texts.empty()) throw CommandFailure{kExitUsage, "list takes no texts"};
      for (const auto& entry : list.entries()) std::cout << entry << "\n";
      return kExitOk;
    case WordsAction::Add:
      // In qxword.ini a line holding both brackets starts a section: such a
      // text would vanish from its list and split it. qxwordeg.ini is flat.
      for (const auto& text : o.texts)
        if (!o.engine && text.find('[') != std::string::npos && text.find(']') != std::string::npos)
          throw CommandFailure{kExitUsage, "\"" + text +
                                               "\" holds both brackets, which qxword.ini reads as "
                                               "a section; it was not added"};
      addTexts(list, boxTexts(o.texts));
      break;
    case WordsAction::Remove:
      removeTexts(list, o.texts);
      break;
    case WordsAction::Clear:
      if (!o.texts.empty()) throw CommandFailure{kExitUsage, "clear takes no texts"};
      list.clear();
      break;
  }
  saveList(global, o, list);
  return kExitOk;
}

void addWordsCommand(CLI::App* words, GlobalOptions& global, int& exitCode, const char* name,
                     const char* description, WordsAction action, bool takesTexts) {
  auto options = std::make_shared<WordsOptions>();
  CLI::App* sub = words->add_subcommand(name, description);
  auto* index = sub->add_option("--index", options->index, "The index whose texts these are");
  auto* engine = sub->add_flag("--engine", options->engine, "The engine mode's list");
  index->excludes(engine);
  if (takesTexts) sub->add_option("texts", options->texts, "Search texts")->required();
  sub->callback(
      [options, action, &global, &exitCode] { exitCode = runWords(global, *options, action); });
}

CommandRegistrar registrar(30, [](CLI::App& app, GlobalOptions& global, int& exitCode) {
  CLI::App* words =
      app.add_subcommand("words",
                         "The saved search texts of an index (qxword.ini) or of the engine mode "
                         "(qxwordeg.ini).");
  words->require_subcommand(1);
  addWordsCommand(words, global, exitCode, "list", "Print the list, sorted.", WordsAction::List,
                  false);
  addWordsCommand(words, global, exitCode, "add",
                  "Add texts not yet in the list (trimmed; a single letter is refused).",
                  WordsAction::Add, true);
  addWordsCommand(words, global, exitCode, "remove", "Remove texts from the list.",
                  WordsAction::Remove, true);
  addWordsCommand(words, global, exitCode, "clear", "Empty the list.", WordsAction::Clear, false);
});

}  // namespace

}  // namespace quexa::cli
