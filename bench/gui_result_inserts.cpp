// What a 30,000-hit engine run costs the window: each hit is one entry
// inserted at the end of the all-results pane and one node under its engine,
// scrolled into view as AltaVista's hits are. The run reports what the first
// and the last thousand of them took; the last may cost at most twice the
// first for the window to stay as quick at the end of a long run.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTextDocument>
#include <QTextEdit>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

#include "frm_main.h"
#include "qt_event_pump.h"
#include "results/documents.h"

namespace quexa {
namespace {

constexpr int kHits = 30000;
constexpr int kSlice = 1000;

QApplication& qtApp() {
  static int argc = 1;
  static char name[] = "bench_gui_result_inserts";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    return new QApplication(argc, argv);
  }();
  return *app;
}

using Clock = std::chrono::steady_clock;

double millisSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void BM_ThirtyThousandHits(benchmark::State& state) {
  qtApp();
  const bool scrollEach = state.range(0) != 0;
  double first = 0;
  double last = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto form = std::make_unique<FrmMain>();
    form->show();
    QtWindow& window = form->window();
    QtEventPump pump;
    window.addNode({std::nullopt, "AltaVista", "AltaVista", "closed", "open"});
    state.ResumeTiming();
    Clock::time_point slice = Clock::now();
    for (int n = 1; n <= kHits; ++n) {
      const std::string url = "http://www.site" + std::to_string(n) + ".com/page.html";
      window.insertRtf(Pane::All, hitEntry(n, "Title of hit " + std::to_string(n), url,
                                           "A description of the page, about a line long."));
      const std::string key = "AltaVista" + std::to_string(n) + url;
      window.addNode({std::string("AltaVista"), key, "Title of hit " + std::to_string(n), "leaf",
                      std::nullopt});
      if (scrollEach) window.makeVisible(key);
      // The engine search yields to the window after every link it reads.
      pump.pump();
      if (n == kSlice) first = millisSince(slice);
      if (n == kHits - kSlice) slice = Clock::now();
    }
    last = millisSince(slice);
    state.PauseTiming();
    form.reset();
    state.ResumeTiming();
  }
  state.counters["first_1000_ms"] = first;
  state.counters["last_1000_ms"] = last;
  state.counters["last_over_first"] = first > 0 ? last / first : 0;
  state.SetItemsProcessed(state.iterations() * kHits);
}
BENCHMARK(BM_ThirtyThousandHits)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace quexa
