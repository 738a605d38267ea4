// What the site search tests run on: a recording window, a libcurl fetcher
// (or, given more than one connection, the parallel fetcher) against loopback
// servers that records every request attempt, a scripted pump and the
// controls of a "My Web Sites" search of the index "Mine".
#pragma once

#include <algorithm>
#include <deque>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/controls.h"
#include "app/errors.h"
#include "app/state.h"
#include "app/transcript.h"
#include "match/matcher.h"
#include "net/curl_fetcher.h"
#include "net/parallel_fetcher.h"
#include "search/site_search.h"
#include "support/counting_pump.h"
#include "support/http_test_server.h"
#include "support/scratch_dir.h"

namespace quexa::testing {

using quexa::RecordingFetcher;

// A link to `target` as the fixture pages write it.
inline std::string link(const std::string& target) {
  return "<a href=\"" + target + "\">go</a> ";
}

// A page matches when it holds the first search text; the extract names it.
// Failures can be scripted for the next calls.
class WordMatcher : public Matcher {
 public:
  std::deque<ErrorKind> failures;
  int calls = 0;

  int32_t stringSearch(const std::string& path, int32_t, int32_t,
                       const std::array<std::string, 4>& texts, const std::array<int32_t, 3>&,
                       std::string& matchBuffer) override {
    ++calls;
    if (!failures.empty()) {
      ErrorKind kind = failures.front();
      failures.pop_front();
      throw QuexaError(kind, "scripted failure");
    }
    std::ifstream in(path, std::ios::binary);
    const std::string page{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (texts[0].empty() || page.find(texts[0]) == std::string::npos) return 0;
    const std::string extract = "found " + texts[0] + "\\par ";
    matchBuffer.replace(0, extract.size() + 1, extract + '\0');
    return 1;
  }
};

// An https site on 127.0.0.1 with the loopback certificate, which no
// authority of the system signed (trust it with kLoopbackCertificate).
inline const std::string kLoopbackCertificate = QUEXA_FIXTURES_DIR "/tls/loopback.crt";
struct TlsTestServer {
  httplib::SSLServer server{kLoopbackCertificate.c_str(), QUEXA_FIXTURES_DIR "/tls/loopback.key"};
  std::thread serving;
  int port = 0;

  explicit TlsTestServer(httplib::Server::Handler handler) {
    server.Get(".*", std::move(handler));
    port = server.bind_to_any_port("127.0.0.1");
    serving = std::thread([this] { server.listen_after_bind(); });
    while (!server.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ~TlsTestServer() {
    server.stop();
    serving.join();
  }
  std::string url(const std::string& path) const {
    return "https://127.0.0.1:" + std::to_string(port) + path;
  }
};

struct SiteSearchHarness {
  ScratchDir dir;
  AppState state;
  TranscriptWindow window;
  test::CountingPump pump;
  CurlFetcher curl{pump};
  std::unique_ptr<ParallelFetcher> parallel;
  RecordingFetcher fetcher;
  WordMatcher wordMatcher;
  Matcher* matcher = &wordMatcher;
  MainControls controls;
  int32_t foundCount = 0;

  explicit SiteSearchHarness(int connections = 1)
      : parallel(connections > 1 ? std::make_unique<ParallelFetcher>(pump, connections) : nullptr),
        fetcher(parallel ? static_cast<Fetcher&>(*parallel) : curl, window) {
    state.dataDir = dir.path();
    controls.searchText[0] = "needle";
    controls.searchCatText = "Mine";
    controls.searchCatCount = 1;
    controls.settings.timeoutText = "5";
    controls.settings.retryText = "1";
  }

  std::optional<EndReason> run(std::vector<std::string> urls, bool allLinks) {
    controls.listCategory = std::move(urls);
    controls.settings.optSearchAll = allLinks;
    SiteSearchContext context{state, window, fetcher, pump, *matcher, controls};
    std::optional<EndReason> end = searchMineSites(context);
    foundCount = context.foundCount;
    return end;
  }

  std::vector<TranscriptEvent> events(TranscriptEvent::Kind kind) const {
    return window.eventsOf(kind);
  }
  std::vector<std::string> fetchedUrls() const {
    std::vector<std::string> urls;
    for (const auto& e : window.eventsOf(TranscriptEvent::Kind::Fetch)) urls.push_back(e.text);
    return urls;
  }
  size_t attemptsAt(const std::string& url) const {
    const std::vector<std::string> urls = fetchedUrls();
    return static_cast<size_t>(std::count(urls.begin(), urls.end(), url));
  }
  std::vector<std::string> nodeKeys() const {
    std::vector<std::string> keys;
    for (const auto& e : window.eventsOf(TranscriptEvent::Kind::Node)) keys.push_back(e.key);
    return keys;
  }
};

}  // namespace quexa::testing
