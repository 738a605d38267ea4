// Engine result pages: parsing speed of a large page, and the duplicate test
// of a 30,000-hit run, whose cost must not grow with the hit store.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "app/text.h"
#include "net/fetcher.h"
#include "search/engines/hit_store.h"
#include "search/engines/result_parser.h"

namespace {

using namespace quexa;

std::string hitUrl(int n) {
  return "http://www.site" + std::to_string(n) + ".com/page/index.html";
}

std::string hitBlock(int n) {
  return "Site <b>" + std::to_string(n) + "</b></a> - a page about apples and pears.<br>\n<li>";
}

// A Yahoo!-style page: an engine link every ten hits, the rest hits.
std::string largeYahooPage(int hits) {
  std::string page = "<html><body><ul>\n";
  for (int n = 0; n < hits; ++n) {
    if (n % 10 == 0)
      page += "<a href=\"http://search.yahoo.com/more?n=" + std::to_string(n) + "\">m</a>\n";
    page += "<LI><A HREF=\"" + hitUrl(n) + "\">" + hitBlock(n);
  }
  page += "</ul><a href=\"http://www.yahoo.com/\">Yahoo!</a></body></html>";
  return page;
}

void BM_ParseLargeResultPage(benchmark::State& state) {
  const int hits = static_cast<int>(state.range(0));
  const std::string page = largeYahooPage(hits);
  NullPump pump;
  for (auto _ : state) {
    EngineHitStore store;
    EngineProgress progress;
    PageListener listener;
    listener.listHit = [&](const ParsedHit& hit) {
      store.appendUrl(hit.url);
      store.appendBlock(hit.rawBlock);
    };
    listener.linkExamined = [] { return true; };
    PageOutcome out = parseResultPage(Engine::Yahoo, page, store, progress, listener, pump);
    benchmark::DoNotOptimize(out.hitsOnPage);
  }
  state.SetItemsProcessed(state.iterations() * hits);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_ParseLargeResultPage)->Arg(1000)->Arg(10000);

// 1,000 duplicate tests (half repeats, half new URLs) against a store that
// already holds state.range(0) hits of a 30,000-hit run.
template <typename Store>
void duplicateTests(benchmark::State& state) {
  const int held = static_cast<int>(state.range(0));
  Store store;
  for (int n = 0; n < held; ++n) {
    store.appendUrl(hitUrl(n));
    store.appendBlock(hitBlock(n));
  }
  std::vector<std::string> probes;
  for (int k = 0; k < 1000; ++k) {
    probes.push_back(k % 2 == 0 && held > 0 ? hitUrl((k * 7919) % held) : hitUrl(held + k));
  }
  for (auto _ : state) {
    int found = 0;
    for (const std::string& url : probes) found += store.containsText(url) ? 1 : 0;
    benchmark::DoNotOptimize(found);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(probes.size()));
}

// The plain whole-text search, for comparison.
struct PlainStore {
  std::string text;
  void appendUrl(const std::string& url) { text += url + " "; }
  void appendBlock(const std::string& block) { text += block + "</BO>"; }
  bool containsText(const std::string& s) const { return contains(text, s); }
};

void BM_DuplicateTests(benchmark::State& state) {
  duplicateTests<EngineHitStore>(state);
}
void BM_DuplicateTestsPlainSearch(benchmark::State& state) {
  duplicateTests<PlainStore>(state);
}
BENCHMARK(BM_DuplicateTests)->Arg(1000)->Arg(15000)->Arg(29000);
BENCHMARK(BM_DuplicateTestsPlainSearch)->Arg(1000)->Arg(29000);

// One window of 1,000 hits of a 30,000-hit run, starting at hit
// state.range(0): each hit's duplicate test, then its append (every tenth
// link repeats an earlier hit). The run up to the window is made untimed;
// one window per repetition, so the store grows as in a real run.
template <typename Store>
void runWindow(benchmark::State& state) {
  constexpr int kWindow = 1000;
  const int start = static_cast<int>(state.range(0));
  auto urlOf = [](int n) { return n % 10 == 9 ? hitUrl(n / 2) : hitUrl(n); };
  auto runHits = [&](Store& store, int from, int to) {
    int repeats = 0;
    for (int n = from; n < to; ++n) {
      const std::string url = urlOf(n);
      if (store.containsText(url)) {
        ++repeats;
        continue;
      }
      store.appendUrl(url);
      store.appendBlock(hitBlock(n));
    }
    return repeats;
  };
  Store store;
  runHits(store, 0, start);
  for (auto _ : state) benchmark::DoNotOptimize(runHits(store, start, start + kWindow));
  state.SetItemsProcessed(state.iterations() * kWindow);
}

void BM_HitStoreRunWindow(benchmark::State& state) {
  runWindow<EngineHitStore>(state);
}
void BM_HitStoreRunWindowPlainSearch(benchmark::State& state) {
  runWindow<PlainStore>(state);
}
BENCHMARK(BM_HitStoreRunWindow)
    ->Arg(0)
    ->Arg(15000)
    ->Arg(29000)
    ->Iterations(1)
    ->Repetitions(15)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_HitStoreRunWindowPlainSearch)
    ->Arg(0)
    ->Arg(29000)
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace
