// The window's start-up in the engine mode with a million saved search texts
// in reverse order: reading qxwordeg.ini, sorting it and filling the word
// list, and showing the window. It should take well under 2 s.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <QApplication>
#include <QListWidget>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/settings.h"
#include "data/word_list.h"
#include "frm_main.h"

namespace quexa {
namespace {

constexpr int kLines = 1'000'000;

QApplication& qtApp() {
  static int argc = 1;
  static char name[] = "bench_gui_word_list_startup";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return new QApplication(argc, argv);
  }();
  return *app;
}

void BM_StartWithAMillionEngineTexts(benchmark::State& state) {
  qtApp();
  const std::filesystem::path previous = std::filesystem::current_path();
  std::string pattern = (std::filesystem::temp_directory_path() / "quexa-bench-XXXXXX").string();
  const std::filesystem::path dir = ::mkdtemp(pattern.data());
  {
    std::ofstream words(dir / kEngineWordFileName, std::ios::binary);
    for (int i = kLines; i > 0; --i) words << "search text " << i << "\r\n";
  }
  Settings engines;
  engines.mineMode = 0;
  engines.engineMode = 1;
  saveSettings(dir.string() + "/", engines);
  std::filesystem::current_path(dir);
  for (auto _ : state) {
    auto form = std::make_unique<FrmMain>();
    form->show();
    QCoreApplication::processEvents();
    if (form->wordList->count() != kLines) state.SkipWithError("the list was not filled");
    state.PauseTiming();
    form->endProgram = [](bool) {};
    form.reset();
    state.ResumeTiming();
  }
  std::filesystem::current_path(previous);
  std::filesystem::remove_all(dir);
}

BENCHMARK(BM_StartWithAMillionEngineTexts)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
}  // namespace quexa
