// A generated Web site on 127.0.0.1 for timing crawls: every page is built
// in memory at start-up from a fixed seed, so each run and each tool sees the
// same site. The server counts what it is asked for, so a run can tell how
// many pages a crawler fetched and whether it fetched any twice.
//
//   site_server [--port P] [--pages N] [--delay-ms D] [--threads T]
//   site_server --port P --pages N --write DIR
//
// --write puts the same site into DIR as files (the home page as
// index.html) for another server to serve on port P, and exits.
// Prints "port P" once it listens. GET /__count answers
// "requests R pages P distinct D" (itself not counted); GET /__reset sets
// the counts back to 0.
#define CPPHTTPLIB_TCP_NODELAY true
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace {

struct Options {
  int port = 0;
  int pages = 2000;
  int delayMs = 0;
  int threads = 64;
  size_t pageBytes = 20 * 1024;
  std::string writeDir;  // write the site here and exit
};

// The same numbers on every run and every machine.
struct Lcg {
  uint64_t state;
  uint32_t next() {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<uint32_t>(state >> 33);
  }
  uint32_t below(uint32_t n) { return next() % n; }
};

constexpr const char* kWords[] = {
    "river",    "stone",    "garden", "morning",   "letter",  "window",  "market",  "winter",
    "paper",    "silver",   "bridge", "forest",    "yellow",  "castle",  "engine",  "travel",
    "number",   "people",   "summer", "island",    "machine", "orange",  "history", "village",
    "weather",  "kitchen",  "story",  "teacher",   "animal",  "mirror",  "station", "picture",
    "mountain", "problem",  "answer", "reason",    "example", "public",  "company", "system",
    "program",  "question", "during", "without",   "against", "because", "between", "through",
    "around",   "another",  "little", "important", "family",  "student", "country", "school",
    "water",    "under",    "again",  "always",    "never",   "often",   "perhaps", "together"};
constexpr size_t kWordCount = sizeof(kWords) / sizeof(kWords[0]);

// The text that the benchmark's search looks for; no generated paragraph
// holds either word.
constexpr const char* kSearchSentence = "The old lantern harbour keeps its light burning.";

std::string pagePath(int i) {
  if (i == 0) return "/";
  char name[64];
  std::snprintf(name, sizeof name, "/s%d/page%05d.html", i % 20, i);
  return name;
}

// Absolute or root-relative, so every crawler resolves it the same way
// whatever the directory of the page it stands on.
std::string linkTo(int target, bool absolute, const std::string& origin) {
  return absolute ? origin + pagePath(target) : pagePath(target);
}

std::string anchor(const std::string& href, const std::string& caption) {
  return "<a href=\"" + href + "\">" + caption + "</a>";
}

void appendParagraph(std::string& out, Lcg& rng, size_t words) {
  out += "<p>";
  for (size_t w = 0; w < words; ++w) {
    if (w > 0) out += ' ';
    out += kWords[rng.below(kWordCount)];
  }
  out += ".</p>\n";
}

// The pages a page links to: its children in a tree of fan-out 8 (so every
// page is reachable from the start page within a few steps) and some pages
// drawn at random, 10 to 30 links in all.
std::vector<int> linkTargets(int i, int pages, Lcg& rng) {
  std::vector<int> targets;
  for (int c = 1; c <= 8; ++c) {
    const int64_t child = static_cast<int64_t>(i) * 8 + c;
    if (child < pages) targets.push_back(static_cast<int>(child));
  }
  const int total = 10 + static_cast<int>(rng.below(21));
  while (static_cast<int>(targets.size()) < total)
    targets.push_back(1 + static_cast<int>(rng.below(static_cast<uint32_t>(pages - 1))));
  return targets;
}

std::string makePage(int i, const Options& o, const std::string& origin) {
  Lcg rng{0x9e3779b97f4a7c15ull ^ static_cast<uint64_t>(i) * 0x100000001b3ull};
  const std::string self = pagePath(i);
  std::string out;
  out.reserve(o.pageBytes + 4096);
  out += "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">\n<title>Page " + std::to_string(i) +
         "</title>\n</head>\n<body>\n<h1>Page " + std::to_string(i) + "</h1>\n";
  // The start page has no section anchors: "/#part1" names no HTML file, so a
  // crawl that keeps fragments would take it for a page of its own.
  if (i != 0) {
    out += "<ul class=\"toc\"><li>" + anchor(self + "#part1", "Part one") + "</li><li>" +
           anchor(self + "#part2", "Part two") + "</li></ul>\n";
  }
  std::vector<int> targets = linkTargets(i, o.pages, rng);
  const size_t paragraphs = 24;
  const size_t perParagraph = (targets.size() + paragraphs - 1) / paragraphs;
  size_t nextTarget = 0;
  for (size_t p = 0; out.size() < o.pageBytes; ++p) {
    if (p == 1) out += "<h2 id=\"part1\">Part one</h2>\n";
    if (p == 12) out += "<h2 id=\"part2\">Part two</h2>\n";
    if (p == 3 && i % 7 == 3) out += std::string("<p>") + kSearchSentence + "</p>\n";
    if (p % 5 == 2) {
      out += "<img src=\"http://img.example.net/pics/" + std::to_string(rng.below(500)) +
             ".png\" alt=\"picture\" width=\"320\" height=\"200\">\n";
    }
    appendParagraph(out, rng, 40 + rng.below(60));
    if (nextTarget == targets.size()) continue;
    out += "<p>See also ";
    for (size_t k = 0; k < perParagraph && nextTarget < targets.size(); ++k, ++nextTarget) {
      const int t = targets[nextTarget];
      out += anchor(linkTo(t, rng.below(2) == 0, origin), "page " + std::to_string(t)) + ", ";
    }
    out += "and more.</p>\n";
  }
  if (nextTarget < targets.size()) {
    out += "<p>More pages: ";
    for (; nextTarget < targets.size(); ++nextTarget)
      out += anchor(linkTo(targets[nextTarget], rng.below(2) == 0, origin), "more") + " ";
    out += "</p>\n";
  }
  // Links that no crawler here follows: other hosts, a secure site, mail.
  out += "<p class=\"elsewhere\">" +
         anchor("http://www.example.org/topics/" + std::to_string(i % 97) + ".html", "Topics") +
         " | " + anchor("https://secure.example.com/account", "Account") + " | " +
         anchor("http://news.example.com/story?id=" + std::to_string(i), "News") + " | " +
         anchor("mailto:editor@example.org", "Write to us") + "</p>\n";
  if (i != 0) out += "<p class=\"home\">" + anchor("/", "Home") + "</p>\n";
  out += "</body></html>\n";
  return out;
}

struct Site {
  std::unordered_map<std::string, std::string> pages;  // path -> HTML
};

Site makeSite(const Options& o, int port) {
  const std::string origin = "http://127.0.0.1:" + std::to_string(port);
  Site site;
  for (int i = 0; i < o.pages; ++i) site.pages.emplace(pagePath(i), makePage(i, o, origin));
  return site;
}

struct Counts {
  std::atomic<uint64_t> requests{0};
  std::atomic<uint64_t> pages{0};
  std::mutex mutex;
  std::unordered_set<std::string> distinct;

  void reset() {
    std::lock_guard<std::mutex> lock(mutex);
    requests = 0;
    pages = 0;
    distinct.clear();
  }
  std::string report() {
    std::lock_guard<std::mutex> lock(mutex);
    return "requests " + std::to_string(requests.load()) + " pages " +
           std::to_string(pages.load()) + " distinct " + std::to_string(distinct.size()) + "\n";
  }
};

int intArg(const char* text, const char* name) {
  char* end = nullptr;
  const long v = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || v < 0) {
    std::fprintf(stderr, "site_server: %s wants a whole number, not \"%s\"\n", name, text);
    std::exit(2);
  }
  return static_cast<int>(v);
}

Options parseOptions(int argc, char** argv) {
  Options o;
  for (int a = 1; a < argc; ++a) {
    const std::string arg = argv[a];
    if (a + 1 >= argc) {
      std::fprintf(stderr, "site_server: %s wants a value\n", arg.c_str());
      std::exit(2);
    }
    const char* value = argv[++a];
    if (arg == "--port")
      o.port = intArg(value, "--port");
    else if (arg == "--pages")
      o.pages = intArg(value, "--pages");
    else if (arg == "--delay-ms")
      o.delayMs = intArg(value, "--delay-ms");
    else if (arg == "--threads")
      o.threads = intArg(value, "--threads");
    else if (arg == "--write")
      o.writeDir = value;
    else {
      std::fprintf(stderr, "site_server: unknown option %s\n", arg.c_str());
      std::exit(2);
    }
  }
  if (o.pages < 2 || o.threads < 1) {
    std::fprintf(stderr, "site_server: needs --pages 2 or more and --threads 1 or more\n");
    std::exit(2);
  }
  return o;
}

// The site as files under dir: "/" becomes dir/index.html.
int writeSite(const Options& o) {
  if (o.port <= 0) {
    std::fprintf(stderr, "site_server: --write needs the --port its links name\n");
    return 2;
  }
  const Site site = makeSite(o, o.port);
  for (const auto& [path, html] : site.pages) {
    const std::filesystem::path file =
        std::filesystem::path(o.writeDir) / (path == "/" ? "index.html" : path.substr(1));
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out << html;
    if (!out) {
      std::fprintf(stderr, "site_server: cannot write %s\n", file.c_str());
      return 1;
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const Options o = parseOptions(argc, argv);
  if (!o.writeDir.empty()) return writeSite(o);
  httplib::Server server;
  const int threads = o.threads;
  server.new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
  // The packaged library is compiled, so the macro above does not reach its
  // constructor: small answers must not wait for the peer's delayed ACK.
  server.set_tcp_nodelay(true);
  // Pages go out as they are: the library would otherwise compress each
  // answer for every crawler that accepts it (brotli takes about 25 ms for
  // a 20 KB page), and the server, not the crawler, would set the pace. The
  // request is the library's own object, so dropping the header is safe.
  server.set_pre_routing_handler([](const httplib::Request& req, httplib::Response&) {
    const_cast<httplib::Request&>(req).headers.erase("Accept-Encoding");
    return httplib::Server::HandlerResponse::Unhandled;
  });
  // Every crawler keeps its connections for the whole run.
  server.set_keep_alive_max_count(1000000);
  server.set_keep_alive_timeout(60);

  int port = o.port;
  if (port == 0) {
    port = server.bind_to_any_port("127.0.0.1");
  } else if (!server.bind_to_port("127.0.0.1", port)) {
    port = -1;
  }
  if (port <= 0) {
    std::fprintf(stderr, "site_server: cannot listen on 127.0.0.1\n");
    return 1;
  }
  const Site site = makeSite(o, port);
  Counts counts;

  server.Get("/__count", [&](const httplib::Request&, httplib::Response& res) {
    res.set_content(counts.report(), "text/plain");
  });
  server.Get("/__reset", [&](const httplib::Request&, httplib::Response& res) {
    counts.reset();
    res.set_content("reset\n", "text/plain");
  });
  server.Get(".*", [&](const httplib::Request& req, httplib::Response& res) {
    counts.requests++;
    if (o.delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(o.delayMs));
    auto page = site.pages.find(req.path);
    if (page == site.pages.end()) {
      res.status = 404;
      res.set_content("<html><body>Not here.</body></html>\n", "text/html");
      return;
    }
    counts.pages++;
    {
      std::lock_guard<std::mutex> lock(counts.mutex);
      counts.distinct.insert(req.path);
    }
    res.set_content(page->second, "text/html; charset=utf-8");
  });

  std::printf("port %d\n", port);
  std::fflush(stdout);
  return server.listen_after_bind() ? 0 : 1;
}
