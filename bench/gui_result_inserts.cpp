// What a long search costs the window. Two runs, each with what the person
// sees at the end:
// - a site search of 3,000 pages of a real documentation site, each entry
//   the library's found lines of that page and a node under its site;
// - a 30,000-hit engine run, each hit one entry at the end of the
//   all-results pane and one node under its engine, scrolled into view as
//   AltaVista's hits are.
// Each reports the whole time, the first and the last thousand, and the
// longest time between two turns of the window at its events (what the
// person waits before a click on Stop is seen). The found lines are made
// before the clock starts: only the window's share is measured.
//
// The site search reads the pages under QUEXA_DOC_PAGES, or else
// /usr/share/doc/python3.11/html (apt-get install python3.11-doc); without
// them it is skipped.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/search_frame.h"
#include "app/state.h"
#include "frm_main.h"
#include "match/dl_matcher.h"
#include "match/page_match.h"
#include "net/fetch_page.h"
#include "qt_event_pump.h"
#include "results/documents.h"
#include "results/node_keys.h"

namespace quexa {
namespace {

constexpr int kHits = 30000;
constexpr int kSitePages = 3000;
constexpr int kSlice = 1000;

// The first entries a process shows also load its fonts and fill Qt's
// caches; every run starts warm, so that its first thousand entries compare
// with its last.
void warmUp() {
  FrmMain form;
  form.show();
  for (int n = 1; n <= kSlice; ++n)
    form.window().insertRtf(Pane::All, hitEntry(n, "Warm", "http://warm.example/", "A line."));
  form.window().refresh();
  QCoreApplication::processEvents();
}

QApplication& qtApp() {
  static int argc = 1;
  static char name[] = "bench_gui_result_inserts";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    auto* made = new QApplication(argc, argv);
    warmUp();
    return made;
  }();
  return *app;
}

using Clock = std::chrono::steady_clock;

double millisSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The window thread's own processor time: on a shared machine the wall
// clock also counts the time other programs had the processor.
double threadCpuMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// The longest time between two turns of the window at its events, on the
// clock and in the window thread's processor time: a timer that fires at
// every turn.
class TurnWatch {
 public:
  TurnWatch() {
    timer_.setInterval(0);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      const Clock::time_point now = Clock::now();
      const double cpu = threadCpuMs();
      longest_ = std::max(longest_, std::chrono::duration<double, std::milli>(now - last_).count());
      longestCpu_ = std::max(longestCpu_, cpu - lastCpu_);
      last_ = now;
      lastCpu_ = cpu;
    });
  }
  void start() {
    longest_ = 0;
    longestCpu_ = 0;
    last_ = Clock::now();
    lastCpu_ = threadCpuMs();
    timer_.start();
  }
  void stop() { timer_.stop(); }
  double longestMs() const { return longest_; }
  double longestCpuMs() const { return longestCpu_; }

 private:
  QTimer timer_;
  Clock::time_point last_;
  double lastCpu_ = 0;
  double longest_ = 0;
  double longestCpu_ = 0;
};

// Times one run of n results; insert(i) puts result i into the window.
template <typename Insert>
void timeRun(benchmark::State& state, int n, FrmMain& form, Insert insert) {
  QtEventPump pump;
  TurnWatch turns;
  double first = 0;
  double firstCpu = 0;
  const Clock::time_point start = Clock::now();
  const double startCpu = threadCpuMs();
  turns.start();
  Clock::time_point slice = start;
  double sliceCpu = startCpu;
  for (int i = 1; i <= n; ++i) {
    insert(i);
    // The searches yield to the window after every page and every link.
    pump.pump();
    if (i == kSlice) {
      first = millisSince(slice);
      firstCpu = threadCpuMs() - sliceCpu;
    }
    if (i == n - kSlice) {
      slice = Clock::now();
      sliceCpu = threadCpuMs();
    }
  }
  // What is still waiting is drawn at the next turn; the person sees it then.
  form.window().refresh();
  QCoreApplication::processEvents();
  turns.stop();
  const double last = millisSince(slice);
  const double lastCpu = threadCpuMs() - sliceCpu;
  state.counters["total_ms"] = millisSince(start);
  state.counters["total_cpu_ms"] = threadCpuMs() - startCpu;
  state.counters["first_1000_ms"] = first;
  state.counters["last_1000_ms"] = last;
  state.counters["last_over_first"] = first > 0 ? last / first : 0;
  state.counters["last_over_first_cpu"] = firstCpu > 0 ? lastCpu / firstCpu : 0;
  state.counters["longest_gap_ms"] = turns.longestMs();
  state.counters["longest_gap_cpu_ms"] = turns.longestCpuMs();
  state.counters["pane_chars"] = form.allWebResult->document()->characterCount();
}

void BM_ThirtyThousandHits(benchmark::State& state) {
  qtApp();
  const bool scrollEach = state.range(0) != 0;
  for (auto _ : state) {
    auto form = std::make_unique<FrmMain>();
    form->show();
    QtWindow& window = form->window();
    window.addNode({std::nullopt, "AltaVista", "AltaVista", "closed", "open"});
    timeRun(state, kHits, *form, [&](int n) {
      const std::string url = "http://www.site" + std::to_string(n) + ".com/page.html";
      window.insertRtf(Pane::All, hitEntry(n, "Title of hit " + std::to_string(n), url,
                                           "A description of the page, about a line long."));
      const std::string key = "AltaVista" + std::to_string(n) + url;
      window.addNode({std::string("AltaVista"), key, "Title of hit " + std::to_string(n), "leaf",
                      std::nullopt});
      if (scrollEach) window.makeVisible(key);
    });
  }
  state.SetItemsProcessed(state.iterations() * kHits);
}
BENCHMARK(BM_ThirtyThousandHits)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

std::filesystem::path docPages() {
  const char* dir = std::getenv("QUEXA_DOC_PAGES");
  return dir != nullptr ? dir : "/usr/share/doc/python3.11/html";
}

// One listed page of the site search: its URL and the entry the pane gets.
struct FoundPage {
  std::string url;
  std::string entry;
};

// The documentation's pages that hold the word, matched by the library as
// the site search matches them, repeated until there are kSitePages.
std::vector<FoundPage> foundPages(const std::filesystem::path& root, const std::string& site) {
  std::vector<std::filesystem::path> files;
  for (const auto& f : std::filesystem::recursive_directory_iterator(root))
    if (f.path().extension() == ".html") files.push_back(f.path());
  std::sort(files.begin(), files.end());
  const std::string dataDir =
      (std::filesystem::temp_directory_path() / ("quexa-bench-" + std::to_string(getpid())))
          .string() +
      "/";
  std::filesystem::create_directories(dataDir);
  SearchExpression expression;
  expression.texts[0] = "function";
  DlMatcher matcher;
  std::string buffer;
  std::vector<FoundPage> pages;
  std::vector<FoundPage> listed;
  for (const auto& file : files) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string text = cutAtBody(bytes.str());
    const PageMatch match = matchPage(dataDir, text, false, expression, matcher, buffer);
    if (!match.hit) continue;
    listed.push_back(
        {site + std::filesystem::relative(file, root).string(), matchingBody(match.extract)});
  }
  std::filesystem::remove_all(dataDir);
  for (size_t i = 0; !listed.empty() && pages.size() < kSitePages; ++i) {
    FoundPage page = listed[i % listed.size()];
    if (i >= listed.size()) page.url += "?copy=" + std::to_string(i / listed.size());
    page.entry = siteEntry(static_cast<int64_t>(pages.size() + 1), page.url, page.entry);
    pages.push_back(std::move(page));
  }
  return pages;
}

void BM_SiteSearchOfDocumentation(benchmark::State& state) {
  qtApp();
  const std::filesystem::path root = docPages();
  if (!std::filesystem::is_directory(root)) {
    state.SkipWithError(("no documentation pages under " + root.string()).c_str());
    return;
  }
  const std::string site = "http://docs.example.org/";
  const std::vector<FoundPage> pages = foundPages(root, site);
  if (pages.size() < kSitePages) {
    state.SkipWithError("too few pages hold the word");
    return;
  }
  for (auto _ : state) {
    auto form = std::make_unique<FrmMain>();
    form->show();
    QtWindow& window = form->window();
    AppState app;
    const NodeSpec index = indexNode("docs");
    window.addNode(index);
    window.makeVisible(index.key);
    const NodeSpec siteNodeSpec = siteNode("docs", site);
    window.addNode(siteNodeSpec);
    window.makeVisible(siteNodeSpec.key);
    timeRun(state, kSitePages, *form, [&](int n) {
      const FoundPage& page = pages[static_cast<size_t>(n - 1)];
      window.setStatus("Searching " + page.url);
      showFoundCount(app, window, n);
      window.insertRtf(Pane::All, page.entry);
      window.addNode(pageNode(siteNodeSpec.key, n, page.url, page.url.substr(site.size()), false));
    });
  }
  state.counters["entries"] = static_cast<double>(pages.size());
  state.SetItemsProcessed(state.iterations() * kSitePages);
}
BENCHMARK(BM_SiteSearchOfDocumentation)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace quexa
