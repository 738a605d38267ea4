// An engine result page: the first byte picks the engine, the rest is the
// page. The page is parsed as the engine search parses it, every listed hit
// going into the hit store before the next link is examined; then each hit
// is shown as the page view shows it. The hit store's index must answer as
// a search of its text would.
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "net/fetcher.h"
#include "search/engines/hit_detail.h"
#include "search/engines/result_parser.h"

namespace {

void require(bool ok) {
  if (!ok) std::abort();
}

void checkContains(const quexa::EngineHitStore& store, std::string_view s) {
  if (s.empty()) return;
  require(store.containsText(s) == (store.text().find(s) != std::string::npos));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quexa::fuzz::FuzzInput input(data, size);
  const uint8_t pick = input.takeByte();
  const quexa::Engine engine = quexa::kEngineOrder[pick % quexa::kEngineOrder.size()];
  const std::string_view page = input.rest();

  quexa::EngineHitStore store;
  quexa::EngineProgress progress;
  // The second half of the byte starts the page at a later offset, as a
  // later result page of the same engine would.
  progress.acceptedHits = (pick >> 4) * 10;
  std::vector<quexa::ParsedHit> hits;
  quexa::PageListener listener;
  listener.listHit = [&](const quexa::ParsedHit& hit) {
    require(!store.containsText(hit.url) || hit.url.empty());
    hits.push_back(hit);
    store.appendUrl(hit.url);
    store.appendBlock(hit.rawBlock);
  };
  listener.linkExamined = [] { return true; };
  quexa::NullPump pump;
  quexa::PageOutcome outcome =
      quexa::parseResultPage(engine, page, store, progress, listener, pump);
  require(outcome.hitsOnPage == static_cast<int32_t>(hits.size()));

  for (const quexa::ParsedHit& hit : hits) {
    for (char c : hit.url) require(c < 'A' || c > 'Z');
    checkContains(store, hit.url);
    checkContains(store, std::string_view(hit.url).substr(hit.url.size() / 2));
    checkContains(store, hit.title.substr(0, 40));
    const std::string text = store.hitText(hit.url);
    (void)quexa::splitHitText(quexa::engineForKey(hit.url), text);
    (void)quexa::splitHitText(engine, text);
  }
  for (size_t at = 0; at < page.size() && at < 4096; at += 131)
    checkContains(store, page.substr(at, 16));
  return 0;
}
