// Reading the panes' RTF: throughput of the reader beside a naive scan that
// only strips control words and braces, and the cost of one more appended
// entry as the all-results pane grows (it must not rise with the pane).
#include <benchmark/benchmark.h>

#include <cctype>
#include <string>

#include "results/documents.h"
#include "results/rtf_blocks.h"
#include "results/rtf_reader.h"
#include "results/rtf_writer.h"

namespace {

using namespace quexa;

std::string entry(int64_t n) {
  std::string matched = R"(Quexa finds \b text\b0  on page )" + std::to_string(n) +
                        R"( with caf\'e9 and \u8364? signs\par second line of the match\par )";
  return siteEntry(
      n, "http://www.site" + std::to_string(n % 97) + ".com/page" + std::to_string(n) + ".html",
      matchingBody(matched));
}

// One large document: the body of many site entries inside one group.
std::string largeDocument(int entries) {
  std::string doc(rtfHeader);
  for (int n = 1; n <= entries; ++n) {
    std::string e = entry(n);
    doc += "{";
    doc += e.substr(rtfHeader.size());
  }
  doc += "}";
  return doc;
}

// The naive baseline: drop braces and control words, keep the rest.
std::string stripControlWords(std::string_view rtf) {
  std::string out;
  out.reserve(rtf.size() / 2);
  for (size_t i = 0; i < rtf.size(); ++i) {
    char c = rtf[i];
    if (c == '{' || c == '}') continue;
    if (c == '\\') {
      ++i;
      while (i < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[i]))) ++i;
      while (i < rtf.size() && (std::isdigit(static_cast<unsigned char>(rtf[i])) || rtf[i] == '-'))
        ++i;
      if (i < rtf.size() && rtf[i] != ' ') --i;
      continue;
    }
    out += c;
  }
  return out;
}

void BM_ReadRtf(benchmark::State& state) {
  const std::string doc = largeDocument(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(readRtf(doc));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * doc.size()));
}
BENCHMARK(BM_ReadRtf)->Arg(5000);

void BM_NaiveStrip(benchmark::State& state) {
  const std::string doc = largeDocument(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(stripControlWords(doc));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * doc.size()));
}
BENCHMARK(BM_NaiveStrip)->Arg(5000);

// One more entry appended to a pane already holding range(0) entries.
void BM_AppendEntryToPane(benchmark::State& state) {
  RichText pane = readRtf(" ");
  for (int64_t n = 1; n <= state.range(0); ++n) appendRtf(pane, entry(n));
  int64_t next = state.range(0) + 1;
  for (auto _ : state) appendRtf(pane, entry(next++));
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_AppendEntryToPane)->Arg(0)->Arg(30000);

void BM_WriteRtf(benchmark::State& state) {
  const RichText pane = readRtf(largeDocument(static_cast<int>(state.range(0))));
  size_t bytes = 0;
  for (auto _ : state) {
    std::string out = writeRtf(pane);
    bytes += out.size();
    benchmark::DoNotOptimize(out);
  }
  state.SetBytesProcessed(static_cast<int64_t>(bytes));
}
BENCHMARK(BM_WriteRtf)->Arg(5000);

}  // namespace
