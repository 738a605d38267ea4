// The sorted lists at a million lines: a search-text list written in reverse
// order (the worst case for inserting one entry at a time) is loaded and
// sorted as `words list` does, one text is added and saved as `words add`
// does, and an index of a million addresses is opened in the index editor.
// Each should take well under 2 s.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include "app/transcript.h"
#include "data/data_dir_lock.h"
#include "data/index_editor.h"
#include "data/word_list.h"

namespace quexa {
namespace {

constexpr int kLines = 1'000'000;

// Removes a directory with everything in it when the program ends.
struct RemoveAtExit {
  std::string path;
  ~RemoveAtExit() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

// A data directory holding qxwordeg.ini and one index, each of kLines lines
// in reverse order; removed at exit.
const std::string& bigDataDir() {
  static const std::string dir = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "quexa-bench-XXXXXX").string();
    std::string made = std::string(::mkdtemp(pattern.data())) + "/";
    std::ofstream words(made + kEngineWordFileName, std::ios::binary);
    std::ofstream index(made + kIndexFileName, std::ios::binary);
    index << "[Big]\r\n";
    for (int i = kLines; i > 0; --i) {
      words << "search text " << i << "\r\n";
      index << "http://site" << i << ".example/\r\n";
    }
    return made;
  }();
  static const RemoveAtExit removal{dir};
  return dir;
}

void BM_ListAMillionTexts(benchmark::State& state) {
  const std::string& dir = bigDataDir();
  for (auto _ : state) {
    WordList list;
    list.addAll(loadEngineWordList(dir));
    benchmark::DoNotOptimize(list.entries().data());
  }
}

void BM_AddToAMillionTexts(benchmark::State& state) {
  const std::string& dir = bigDataDir();
  int n = 0;
  for (auto _ : state) {
    const DataDirLock lock(dir);
    WordList list;
    list.addAll(loadEngineWordList(dir));
    addSearchTexts(list, {"added " + std::to_string(++n), "", "", ""});
    saveWordList(dir, true, "", list.entries());
  }
}

void BM_OpenAMillionAddressIndex(benchmark::State& state) {
  const std::string& dir = bigDataDir();
  for (auto _ : state) {
    TranscriptWindow window;
    MainWindowLists main;
    IndexEditor editor(dir, window, main);
    editor.formLoad();
    editor.dirCatClick("Big");
    benchmark::DoNotOptimize(editor.dirList.data());
  }
}

BENCHMARK(BM_ListAMillionTexts)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_AddToAMillionTexts)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OpenAMillionAddressIndex)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace quexa
