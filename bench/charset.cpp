// Page decoding of a 50 MB page: Shift_JIS through the converter, and a
// page that is already valid UTF-8 (kept as it is after one check).
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <string>

#include "net/charset.h"

namespace quexa {
namespace {

constexpr size_t kPageBytes = 50u * 1000 * 1000;

// Japanese prose in HTML markup, about as much markup as text.
const std::string kParagraph =
    "<p class=\"news\">東京都内の天気は晴れ、最高気温は二十五度の見込みです。"
    "<a href=\"/weather/tokyo.html\">詳しくはこちら</a></p>\n";

std::string encode(const std::string& utf8, const char* to) {
  iconv_t cd = iconv_open(to, "UTF-8");
  std::string out(utf8.size() * 2 + 8, '\0');
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size();
  char* outPtr = out.data();
  size_t outLeft = out.size();
  iconv(cd, &in, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

std::string pageOf(const std::string& paragraph) {
  std::string page;
  page.reserve(kPageBytes + paragraph.size());
  while (page.size() < kPageBytes) page += paragraph;
  return page;
}

void decodeLoop(benchmark::State& state, const std::string& page, const char* contentType) {
  for (auto _ : state) {
    std::string text = decodePage(page, contentType);
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(page.size()));
}

void BM_DecodeShiftJis(benchmark::State& state) {
  const std::string page = pageOf(encode(kParagraph, "CP932"));
  decodeLoop(state, page, "text/html; charset=Shift_JIS");
}
BENCHMARK(BM_DecodeShiftJis)->Unit(benchmark::kMillisecond);

void BM_DecodeValidUtf8(benchmark::State& state) {
  const std::string page = pageOf(kParagraph);
  decodeLoop(state, page, "text/html; charset=utf-8");
}
BENCHMARK(BM_DecodeValidUtf8)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quexa
