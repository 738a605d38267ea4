// Link extraction over a large page, and the crawl's visited test as the
// visited list grows, beside a plain search in the list's text.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "match/crawl_state.h"
#include "match/links.h"
#include "match/visited_index.h"

namespace quexa {
namespace {

std::string linkOf(int i) {
  return "http://www.site.com/dir" + std::to_string(i % 97) + "/page" + std::to_string(i) + ".html";
}

// About 1 MB with 10,000 links, one to a line of about 100 bytes.
std::string pageWithLinks(int links) {
  std::string page;
  for (int i = 0; i < links; ++i) {
    page += "<p>Some words before <a href=\"/dir" + std::to_string(i % 97) + "/page" +
            std::to_string(i) + ".html\">Page " + std::to_string(i) + "</a> and after.";
    page.resize(page.size() + (100 - page.size() % 100), ' ');
    page += "\n";
  }
  return page;
}

void BM_ExtractLinks(benchmark::State& state) {
  const std::string page = pageWithLinks(10000);
  NullPump pump;
  for (auto _ : state) {
    CrawlState crawl;
    crawl.extractLinks(page, "www.site.com", pump);
    benchmark::DoNotOptimize(crawl.linkQueue.size());
  }
  state.SetItemsProcessed(state.iterations() * 10000);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(page.size()));
}
BENCHMARK(BM_ExtractLinks)->Unit(benchmark::kMillisecond);

// Half the questions are about visited links, half about new ones.
std::vector<std::string> questions(int visitedLinks) {
  std::vector<std::string> asked;
  for (int i = 0; i < 1000; ++i) {
    asked.push_back(linkOf((i * 7919) % visitedLinks));
    asked.push_back(linkOf(visitedLinks + i));
  }
  return asked;
}

void BM_VisitedIndex(benchmark::State& state) {
  const int links = static_cast<int>(state.range(0));
  VisitedIndex visited;
  for (int i = 0; i < links; ++i) visited.add(linkOf(i));
  const std::vector<std::string> asked = questions(links);
  size_t at = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(visited.contains(asked[at]));
    at = (at + 1) % asked.size();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_VisitedIndex)->Arg(10000)->Arg(100000);

void BM_VisitedPlainText(benchmark::State& state) {
  const int links = static_cast<int>(state.range(0));
  std::string visitedList;
  for (int i = 0; i < links; ++i) visitedList += linkOf(i) + " ";
  const std::vector<std::string> asked = questions(links);
  size_t at = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(visitedList.find(asked[at]) != std::string::npos);
    at = (at + 1) % asked.size();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_VisitedPlainText)->Arg(10000)->Arg(100000);

}  // namespace
}  // namespace quexa
