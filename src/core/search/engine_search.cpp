#include "search/engine_search.h"

#include <array>
#include <string>
#include <utility>

#include "app/error_policy.h"
#include "app/search_frame.h"
#include "app/text.h"
#include "net/fetch_page.h"
#include "results/documents.h"
#include "results/node_keys.h"
#include "search/engines/engine_table.h"
#include "search/engines/result_parser.h"

namespace quexa {

namespace {

const EngineNodeNames& nodeNamesOf(Engine engine) {
  return kEngineNodeNames[static_cast<size_t>(engine)];
}

class EngineSearch {
 public:
  explicit EngineSearch(EngineSearchContext& context)
      : ctx_(context), session_(context.fetcher, context.pump, context.window, context.state) {}

  // Everything between the start and the end sequence; the way it ended.
  EndReason run() {
    return runToEnd([&] {
      readInputs();
      resetForSearch(ctx_.state, ctx_.window);
      std::vector<Engine> ticked;
      for (Engine engine : kEngineOrder)
        if (ctx_.controls.settings.*engineRow(engine).tickBox) ticked.push_back(engine);
      for (size_t i = 0; i < ticked.size(); ++i) {
        hintFirstPages(ticked, i);
        searchEngine(ticked[i]);
      }
      return EndReason::Completed;
    });
  }

  // The last node added is brought into view once the run is over.
  EndReason showLastNode(EndReason reason) {
    if (!anyRootMade_) return reason;
    try {
      step([&] { ctx_.window.makeVisible(currentKey_); });
    } catch (const SearchEnd& end) {
      if (reason == EndReason::Completed) return end.reason();
    } catch (...) {
      return EndReason::Failed;
    }
    return reason;
  }

 private:
  // One step under the search's error policy: Retry runs it again, so each
  // step leaves nothing half done that a second run would repeat.
  template <typename Step>
  void step(Step&& body) {
    runStep(ctx_.window, ErrorTable::Search, std::forward<Step>(body));
  }

  void readInputs() {
    step([&] {
      configureTransfer(session_, ctx_.controls.settings);
      maxSites_ = maxSitesSetting(ctx_.controls.settings.hitsText);
    });
  }

  // A result page's address holds the count of hits accepted before it, so
  // the only pages known ahead are each engine's first: this engine's and
  // the next one's, which can arrive while this engine is read.
  void hintFirstPages(const std::vector<Engine>& ticked, size_t current) {
    try {
      const std::string query = buildQueryString(ctx_.controls);
      std::vector<std::string> urls;
      for (size_t i = current; i < ticked.size() && i <= current + 1; ++i)
        urls.push_back(requestUrl(ticked[i], ctx_.hosts, query, 0, 1));
      ctx_.fetcher.hintUpcoming(urls);
    } catch (...) {
      // Only a hint: the search asks for its pages either way.
    }
  }

  void searchEngine(Engine engine) {
    engine_ = engine;
    const EngineRow& row = engineRow(engine);
    step([&] { ctx_.window.setStatus(row.statusText); });
    session_.timeoutRetries = 0;
    session_.emptyRetries = 0;
    progress_ = EngineProgress{};
    rootMade_ = false;
    step([&] { query_ = buildQueryString(ctx_.controls); });
    // Yahoo! is asked on its second host first, then on its main host; the
    // offset runs on from the first pass into the second.
    const int passes = engine == Engine::Yahoo ? 2 : 1;
    for (int pass = 1; pass <= passes; ++pass) {
      progress_.moreResults = true;
      while (progress_.moreResults) searchResultPage(row, pass);
    }
  }

  void searchResultPage(const EngineRow& row, int pass) {
    const std::string url = requestUrl(engine_, ctx_.hosts, query_, progress_.acceptedHits, pass);
    std::string page;
    step([&] { page = fetchPage(session_, url); });
    // The status may have been replaced by a time-out notice meanwhile.
    if (ctx_.state.stopRequest != 1) step([&] { ctx_.window.setStatus(row.statusText); });
    ctx_.pump.pump();

    PageListener listener;
    listener.listHit = [this](const ParsedHit& hit) { listHit(hit); };
    listener.linkExamined = [this] { return ctx_.foundCount <= maxSites_; };
    const PageOutcome outcome =
        parseResultPage(engine_, page, ctx_.state.engineHitBuffer, progress_, listener, ctx_.pump);
    // More hits than Maximum Sites end the whole run as a normal end.
    if (outcome.endedByListener) throw SearchEnd(EndReason::Completed);

    if (rootMade_) step([&] { ctx_.window.makeVisible(currentKey_); });
    if (outcome.hitsOnPage == 0) progress_.moreResults = false;
    if (ctx_.state.stopRequest == 1) throw SearchEnd(EndReason::Stopped);
  }

  void listHit(const ParsedHit& hit) {
    const EngineNodeNames& names = nodeNamesOf(engine_);
    if (!rootMade_) addEngineRoot(names);
    const int32_t n = ++ctx_.foundCount;
    step([&] { showFoundCount(ctx_.state, ctx_.window, n); });
    // In the store before the next link's duplicate test.
    step([&] { ctx_.state.engineHitBuffer.appendUrl(hit.url); });
    step([&] { ctx_.state.engineHitBuffer.appendBlock(hit.rawBlock); });
    if (hit.hasDocumentEntry)
      step([&] {
        ctx_.window.insertRtf(Pane::All, hitEntry(n, hit.title, hit.url, hit.description));
      });
    step([&] {
      NodeSpec node = hitNode(names, n, hit.url, hit.nodeTitle);
      ctx_.window.addNode(node);
      currentKey_ = node.key;
    });
    if (engine_ == Engine::AltaVista) step([&] { ctx_.window.makeVisible(currentKey_); });
  }

  // Made with the engine's first listed hit, so an engine without hits shows
  // neither root nor heading.
  void addEngineRoot(const EngineNodeNames& names) {
    step([&] {
      NodeSpec node = engineNode(names);
      ctx_.window.addNode(node);
      currentKey_ = node.key;
    });
    const bool spaced = engineHeadingSpaced(engine_ == Engine::Yahoo, ctx_.foundCount);
    step([&] { ctx_.window.insertRtf(Pane::All, engineHeading(names.headingText, spaced)); });
    rootMade_ = true;
    anyRootMade_ = true;
  }

  EngineSearchContext& ctx_;
  FetchSession session_;
  int64_t maxSites_ = 0;

  Engine engine_ = Engine::Yahoo;
  std::string query_;
  EngineProgress progress_;
  bool rootMade_ = false;
  bool anyRootMade_ = false;
  std::string currentKey_;  // the node added last
};

}  // namespace

std::optional<EndReason> searchWebEngines(EngineSearchContext& context) {
  if (!checkSearchInputs(context.controls, SearchKind::Engines, context.window))
    return std::nullopt;
  enterRunningState(context.state, context.window);
  context.foundCount = 0;
  EngineSearch search(context);
  const EndReason reason = search.showLastNode(search.run());
  endSearch(context.state, context.window, context.fetcher, reason);
  return reason;
}

}  // namespace quexa
