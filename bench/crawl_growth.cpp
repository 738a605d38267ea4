// How a crawl grows with its site: the same crawl over a site of 10,000,
// 100,000 and 1,000,000 links (20 a page, most of them to pages seen before once the
// site's tree is walked), served from this process over loopback, with the
// real fetcher and matching library. Per page the cost should stay about
// the same, and the longest time between two event pumps (what the window
// waits to repaint) should stay far below 100 ms. The process's peak
// resident memory is reported after each run; the runs grow, so the last
// one's is the peak of the 1,000,000-link crawl.
#include <benchmark/benchmark.h>
#include <httplib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "app/controls.h"
#include "app/state.h"
#include "app/transcript.h"
#include "match/dl_matcher.h"
#include "net/curl_fetcher.h"
#include "net/parallel_fetcher.h"
#include "search/site_search.h"

namespace quexa {
namespace {

constexpr int kLinksPerPage = 20;

// Page i links to its children 20i+1 .. 20i+20 while there are any, else
// back into the site; every tenth page holds the search text.
std::string pageOf(int i, int pages) {
  std::string body = "<html><head><title>Page " + std::to_string(i) + "</title></head><body>\n";
  for (int line = 0; line < 12; ++line)
    body += "<p>Some ordinary words of a paragraph that goes on for a while, line " +
            std::to_string(line) + ".</p>\n";
  if (i % 10 == 0) body += "<p>Here is the needle of page " + std::to_string(i) + ".</p>\n";
  for (int k = 1; k <= kLinksPerPage; ++k) {
    const long child = static_cast<long>(i) * kLinksPerPage + k;
    const long target = child < pages ? child : (static_cast<long>(i) * 31 + k) % pages;
    body +=
        "<a href=\"/p" + std::to_string(target) + ".html\">link " + std::to_string(k) + "</a>\n";
  }
  body += "<img src=\"/pic.gif\"><a href=\"#top\">top</a></body></html>\n";
  return body;
}

class SiteServer {
 public:
  explicit SiteServer(int pages) {
    server_.new_task_queue = [] { return new httplib::ThreadPool(8); };
    // Pages go out as they are: compressing them would make the server,
    // not the crawl, set the pace.
    server_.set_pre_routing_handler([](const httplib::Request& req, httplib::Response&) {
      const_cast<httplib::Request&>(req).headers.erase("Accept-Encoding");
      return httplib::Server::HandlerResponse::Unhandled;
    });
    server_.set_tcp_nodelay(true);
    server_.Get(".*", [pages](const httplib::Request& req, httplib::Response& res) {
      int i = 0;
      if (req.path.rfind("/p", 0) == 0) i = std::atoi(req.path.c_str() + 2);
      res.set_content(pageOf(std::clamp(i, 0, pages - 1), pages), "text/html");
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ~SiteServer() {
    server_.stop();
    thread_.join();
  }
  std::string url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }

 private:
  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
};

// Keeps the longest time between two calls.
class GapPump : public EventPump {
 public:
  void pump() override {
    const auto now = std::chrono::steady_clock::now();
    if (calls_++ > 0) longest_ = std::max(longest_, now - last_);
    last_ = now;
  }
  double longestMillis() const {
    return std::chrono::duration<double, std::milli>(longest_).count();
  }

 private:
  long calls_ = 0;
  std::chrono::steady_clock::time_point last_;
  std::chrono::steady_clock::duration longest_{};
};

void BM_CrawlGrowth(benchmark::State& state) {
  const int pages = static_cast<int>(state.range(0));
  const int connections = static_cast<int>(state.range(1));
  SiteServer site(pages);
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("quexa_crawl_growth_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  double gap = 0;
  double seconds = 0;
  size_t listed = 0;
  for (auto _ : state) {
    AppState appState;
    appState.dataDir = dir.string() + "/";
    TranscriptWindow window;
    GapPump pump;
    ParallelFetcher fetcher(pump, connections);
    DlMatcher matcher;
    MainControls controls;
    controls.searchText[0] = "needle";
    controls.searchCatText = "Growth";
    controls.searchCatCount = 1;
    controls.listCategory = {site.url()};
    controls.settings.optSearchAll = true;
    controls.settings.hitsText = std::to_string(pages + 10);
    SiteSearchContext context{appState, window, fetcher, pump, matcher, controls};
    const auto start = std::chrono::steady_clock::now();
    searchMineSites(context);
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    gap = pump.longestMillis();
    listed = window.eventsOf(TranscriptEvent::Kind::Node).size();
  }
  std::filesystem::remove_all(dir);
  state.counters["links"] = static_cast<double>(pages) * kLinksPerPage;
  state.counters["nodes"] = static_cast<double>(listed);
  state.counters["longest_pump_gap_ms"] = gap;
  state.counters["us_per_page"] = seconds * 1e6 / pages;
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  state.counters["peak_rss_mb"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
  state.SetItemsProcessed(state.iterations() * pages);
}
BENCHMARK(BM_CrawlGrowth)
    ->Args({500, 1})
    ->Args({5000, 1})
    ->Args({500, 4})
    ->Args({5000, 4})
    ->Args({50000, 4})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseRealTime();

}  // namespace
}  // namespace quexa
