// stringSearch over a large generated page beside a plain memmem scan of the
// same bytes: the matcher reads the page once and searches its visible text.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "match/mzk11.h"

namespace {

constexpr size_t kCorpusBytes = 50u << 20;

// The words of a generated page and the rare word that the searches look for.
struct Script {
  const char* name;
  std::vector<const char*> words;
  const char* rareWord;
};

const Script kLatin{"latin",
                    {"search", "index", "page", "site", "text", "web", "result", "quick", "brown",
                     "fox", "jumps", "over", "lazy", "dog", "link", "library", "engine", "query"},
                    "Zanzibar"};
const Script kCyrillic{
    "cyrillic",
    {"\u041F\u043E\u0438\u0441\u043A", "\u0441\u0430\u0439\u0442", "\u0422\u0435\u043A\u0441\u0442",
     "\u0441\u0435\u0442\u044C", "\u0421\u0442\u0440\u0430\u043D\u0438\u0446\u0430",
     "\u0431\u044B\u0441\u0442\u0440\u044B\u0439", "\u041B\u0438\u0441\u0430",
     "\u0441\u043E\u0431\u0430\u043A\u0430", "\u0438", "\u043D\u0430", "2026", "web"},
    "\u0417\u0430\u043D\u0437\u0438\u0431\u0430\u0440"};
const Script kCjk{
    "cjk",
    {"\u691C\u7D22", "\u30DA\u30FC\u30B8", "\u30B5\u30A4\u30C8", "\u6587\u7AE0\u3067\u3059\u3002",
     "\u7D50\u679C", "\uAC80\uC0C9", "\uD398\uC774\uC9C0", "\u65E9\u3044\u72D0", "\u72AC", "Web"},
    "\u30B6\u30F3\u30B8\u30D0\u30EB"};

// HTML of the usual mix: nested blocks, links, entities, scripts, styles and
// comments, with a rare word that the searches look for.
std::string generateCorpus(const Script& script) {
  std::mt19937 rng(20);
  std::uniform_int_distribution<int> word(0, static_cast<int>(script.words.size()) - 1);
  std::uniform_int_distribution<int> pick(0, 99);
  std::string html = "<html><head><title>Corpus</title></head><body>\n";
  html.reserve(kCorpusBytes + 4096);
  while (html.size() < kCorpusBytes) {
    int kind = pick(rng);
    if (kind < 3) {
      html += "<script type=\"text/javascript\">var x = \"<p>\" + 1; if (a < b) go();</script>\n";
    } else if (kind < 5) {
      html += "<style>p { color: red; }</style><!-- a comment about the layout -->\n";
    } else {
      html += "<div class=\"entry\"><p>";
      for (int k = 0; k < 12; ++k) {
        html += script.words[word(rng)];
        html += pick(rng) < 10 ? " &amp; " : " ";
        if (pick(rng) < 8) html += "<a href=\"/x/y.html\">link</a> ";
      }
      if (pick(rng) == 0) (html += script.rareWord) += " ";
      html += "</p></div>\n";
    }
  }
  html += "</body></html>\n";
  return html;
}

struct Corpus {
  std::string path;
  std::string bytes;
  explicit Corpus(const Script& script) {
    bytes = generateCorpus(script);
    path = (std::filesystem::temp_directory_path() /
            ("quexa-corpus-" + std::to_string(getpid()) + "-" + script.name + ".html"))
               .string();
    std::ofstream(path, std::ios::binary) << bytes;
    std::fprintf(stderr, "corpus: %s (%zu bytes)\n", path.c_str(), bytes.size());
  }
  ~Corpus() {
    if (!std::getenv("QUEXA_KEEP_CORPUS")) std::filesystem::remove(path);
  }
};

Corpus& corpus(const Script& script = kLatin) {
  static std::map<const Script*, std::unique_ptr<Corpus>> corpora;
  auto& c = corpora[&script];
  if (!c) c = std::make_unique<Corpus>(script);
  return *c;
}

mzk11_string_search_fn loadStringSearch() {
  void* h = dlopen("libmzk11.so", RTLD_NOW);
  if (!h) {
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    h = dlopen((self.parent_path() / "libmzk11.so").c_str(), RTLD_NOW);
  }
  return h ? reinterpret_cast<mzk11_string_search_fn>(dlsym(h, "stringSearch")) : nullptr;
}

void runStringSearch(benchmark::State& state, int32_t caseMode, const char* text,
                     const Script& script = kLatin) {
  Corpus& c = corpus(script);
  auto search = loadStringSearch();
  if (!search) {
    state.SkipWithError("libmzk11.so not found");
    return;
  }
  std::string buffer(MZK11_RESULT_BUFFER_SIZE, ' ');
  for (auto _ : state) {
    int32_t r = search(c.path.c_str(), static_cast<int32_t>(c.bytes.size()), caseMode, text, 210,
                       "", 210, "", 210, "", 0, 30, 1, buffer.data(), 0);
    benchmark::DoNotOptimize(r);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * c.bytes.size()));
}

void BM_StringSearchMatchCase(benchmark::State& state) {
  runStringSearch(state, MZK11_MATCH_CASE, "Zanzibar");
}
void BM_StringSearchIgnoreCase(benchmark::State& state) {
  runStringSearch(state, MZK11_IGNORE_CASE, "zanzibar");
}
// Pages in scripts with letters beyond ASCII, searched for their own rare
// word in lower case.
void BM_StringSearchIgnoreCaseCyrillic(benchmark::State& state) {
  runStringSearch(state, MZK11_IGNORE_CASE, "\u0437\u0430\u043D\u0437\u0438\u0431\u0430\u0440",
                  kCyrillic);
}
void BM_StringSearchIgnoreCaseCjk(benchmark::State& state) {
  runStringSearch(state, MZK11_IGNORE_CASE, "\u30B6\u30F3\u30B8\u30D0\u30EB", kCjk);
}
void BM_StringSearchNoMatch(benchmark::State& state) {
  runStringSearch(state, MZK11_MATCH_CASE, "Timbuktu");
}

// The same bytes, already in memory, scanned for every occurrence of the
// word: the floor for any substring search.
void BM_MemmemScan(benchmark::State& state) {
  const std::string& bytes = corpus().bytes;
  const std::string_view text = "Zanzibar";
  for (auto _ : state) {
    size_t count = 0;
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    while (const void* hit = memmem(p, static_cast<size_t>(end - p), text.data(), text.size())) {
      ++count;
      p = static_cast<const char*>(hit) + 1;
    }
    benchmark::DoNotOptimize(count);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

// Whole processes, as a person would compare them: grep counting the lines
// with the word, and quexa-cli matching the page once (program start, library
// load and reading the file included), each from a cold start.
// The command runs with the corpus's path in place of FILE.
void runProcess(benchmark::State& state, const std::string& command) {
  const Corpus& c = corpus();
  std::string line = command;
  line.replace(line.find("FILE"), 4, "'" + c.path + "'");
  line += " >/dev/null 2>&1";
  for (auto _ : state) benchmark::DoNotOptimize(std::system(line.c_str()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * c.bytes.size()));
}
void BM_GrepFixedCountProcess(benchmark::State& state) {
  runProcess(state, "grep -F -c Zanzibar FILE");
}
void BM_QuexaCliMatchProcess(benchmark::State& state) {
  const auto self = std::filesystem::read_symlink("/proc/self/exe").parent_path();
  std::string command = "'";
  command += (self / "quexa-cli").string();
  command += "' match --case FILE Zanzibar";
  runProcess(state, command);
}

BENCHMARK(BM_StringSearchMatchCase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GrepFixedCountProcess)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_QuexaCliMatchProcess)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StringSearchIgnoreCase)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StringSearchIgnoreCaseCyrillic)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StringSearchIgnoreCaseCjk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StringSearchNoMatch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MemmemScan)->Unit(benchmark::kMillisecond);

}  // namespace
