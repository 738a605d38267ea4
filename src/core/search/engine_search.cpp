#include "search/engine_search.h"

#include <array>
#include <stdexcept>
#include <string>
#include <unordered_set>
#include <utility>

#include "app/error_policy.h"
#include "app/search_frame.h"
#include "app/text.h"
#include "match/expression.h"
#include "match/page_match.h"
#include "net/fetch_page.h"
#include "results/documents.h"
#include "results/node_keys.h"
#include "search/engines/engine_table.h"
#include "search/engines/opensearch/result_reader.h"
#include "search/engines/result_parser.h"

namespace quexa {

namespace {

const EngineNodeNames& nodeNamesOf(Engine engine) {
  return kEngineNodeNames[static_cast<size_t>(engine)];
}

// A user engine that keeps bringing new addresses still ends here.
constexpr int kMaxUserEnginePages = 100;

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
      for (const UserEngine& engine : ctx_.userEngines)
        if (engine.ticked) searchUserEngine(engine);
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
      if (ctx_.checkHits) expression_ = buildExpression(ctx_.controls);
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
    names_ = nodeNamesOf(engine);
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
    if (ctx_.checkHits) hintHitPages(page);

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
    std::optional<std::string> foundLines;
    if (ctx_.checkHits && !(foundLines = checkedLines(hit.url))) return;
    if (!rootMade_) addEngineRoot();
    const int32_t n = ++ctx_.foundCount;
    step([&] { showFoundCount(ctx_.state, ctx_.window, n); });
    // In the store before the next link's duplicate test.
    step([&] { ctx_.state.engineHitBuffer.appendUrl(hit.url); });
    step([&] { ctx_.state.engineHitBuffer.appendBlock(hit.rawBlock); });
    listedUrls_.insert(lowerSameLength(hit.url));
    if (foundLines)
      step([&] {
        ctx_.window.insertRtf(Pane::All, siteEntry(n, hit.url, matchingBody(*foundLines)));
      });
    else if (hit.hasDocumentEntry)
      step([&] {
        ctx_.window.insertRtf(Pane::All, hitEntry(n, hit.title, hit.url, hit.description));
      });
    addHitNode(n, hit.url, hit.nodeTitle);
    if (engine_ == Engine::AltaVista) step([&] { ctx_.window.makeVisible(currentKey_); });
  }

  void addHitNode(int32_t n, const std::string& url, const std::string& title) {
    step([&] {
      NodeSpec node = hitNode(names_, n, url, title);
      ctx_.window.addNode(node);
      currentKey_ = node.key;
    });
  }

  // The hit pages a result page will list, found by reading it once on a
  // copy of the store, so that the fetcher may start them while the first
  // is matched.
  void hintHitPages(const std::string& page) {
    EngineHitStore store = ctx_.state.engineHitBuffer;
    EngineProgress progress = progress_;
    std::vector<std::string> urls;
    PageListener listener;
    listener.listHit = [&](const ParsedHit& hit) {
      store.appendUrl(hit.url);
      store.appendBlock(hit.rawBlock);
      if (!checkedOut_.count(lowerSameLength(hit.url))) urls.push_back(hit.url);
    };
    listener.linkExamined = [] { return true; };
    NullPump quiet;
    parseResultPage(engine_, page, store, progress, listener, quiet);
    ctx_.fetcher.hintUpcoming(urls);
  }

  // Checked hits: the hit page fetched by the fetch rules and matched as the
  // site search matches a page. The found lines when it holds the texts;
  // nullopt when it does not or brought nothing (then it is not fetched
  // again in this search).
  std::optional<std::string> checkedLines(const std::string& url) {
    const std::string lower = lowerSameLength(url);
    if (checkedOut_.count(lower)) return std::nullopt;
    step([&] { ctx_.window.setStatus("Searching " + url); });
    std::string text;
    try {
      step([&] {
        session_.emptyRetries = 0;
        text = fetchReportedHere(url);
      });
    } catch (const SearchEnd& end) {
      if (end.reason() != EndReason::Failed) throw;
      text.clear();
    }
    PageMatch match;
    if (text.empty()) {
      step([&] { ctx_.window.reportUnfetched(url, "the hit page gave no answer"); });
    } else {
      step([&] {
        match = matchPage(ctx_.state.dataDir, cutAtBody(text), false, expression_, *ctx_.matcher,
                          ctx_.state.matchBuffer);
      });
    }
    if (!match.hit) {
      checkedOut_.insert(lower);
      return std::nullopt;
    }
    return match.extract;
  }

  // A user engine: its template filled page after page, each answer read as
  // its format says. An engine that cannot be reached or gives an answer
  // that cannot be read is reported and left; the others still run.
  void searchUserEngine(const UserEngine& engine) {
    names_ = EngineNodeNames{engine.name, engine.name, engine.name};
    userEngine_ = true;
    const std::string status = "Searching " + engine.name + " .....";
    step([&] { ctx_.window.setStatus(status); });
    session_.timeoutRetries = 0;
    session_.emptyRetries = 0;
    rootMade_ = false;
    std::string query;
    step([&] { query = openSearchQuery(ctx_.controls); });
    std::unordered_set<std::string> given;  // this engine's addresses so far
    int startIndex = engine.indexOffset;
    int startPage = engine.pageOffset;
    for (int page = 0; page < kMaxUserEnginePages; ++page) {
      const std::string url = fillTemplate(engine.urlTemplate, query, startIndex, startPage);
      ctx_.fetcher.hintUpcoming({url});
      const std::optional<EngineAnswer> answer = askUserEngine(engine, url);
      if (ctx_.state.stopRequest != 1) step([&] { ctx_.window.setStatus(status); });
      ctx_.pump.pump();
      if (!answer) return;
      std::vector<const EngineAnswerHit*> fresh;
      for (const EngineAnswerHit& hit : answer->hits)
        if (given.insert(lowerSameLength(hit.url)).second) fresh.push_back(&hit);
      if (ctx_.checkHits) hintAnswerHits(fresh);
      for (const EngineAnswerHit* hit : fresh) {
        listAnswerHit(*hit);
        ctx_.pump.pump();
        if (ctx_.foundCount > maxSites_) throw SearchEnd(EndReason::Completed);
      }
      if (rootMade_) step([&] { ctx_.window.makeVisible(currentKey_); });
      if (ctx_.state.stopRequest == 1) throw SearchEnd(EndReason::Stopped);
      if (fresh.empty() || !templatePages(engine.urlTemplate)) return;
      startIndex += static_cast<int>(answer->hits.size() + answer->dropped);
      startPage += 1;
    }
  }

  // A user engine's page or a hit's page: what cannot be used is reported
  // here, with the engine's name or the hit's reason, not by the fetch.
  std::string fetchReportedHere(const std::string& url) {
    struct Restore {
      FetchSession& s;
      ~Restore() { s.reportsUnfetched = true; }
    } restore{session_};
    session_.reportsUnfetched = false;
    return fetchPage(session_, url);
  }

  // One result page of a user engine; nullopt (reported) when it brought
  // nothing readable.
  std::optional<EngineAnswer> askUserEngine(const UserEngine& engine, const std::string& url) {
    std::string body;
    try {
      step([&] { body = fetchReportedHere(url); });
    } catch (const SearchEnd& end) {
      if (end.reason() != EndReason::Failed) throw;
    }
    if (body.empty()) {
      reportUserEngine(engine, url, "no answer");
      return std::nullopt;
    }
    EngineAnswer answer = readEngineAnswer(engine.format, body);
    if (!answer.readable) {
      reportUserEngine(engine, url, answer.error);
      return std::nullopt;
    }
    return answer;
  }

  void reportUserEngine(const UserEngine& engine, const std::string& url, const std::string& why) {
    step([&] { ctx_.window.setStatus(engine.name + ": " + why + "!"); });
    step([&] { ctx_.window.reportUnfetched(url, engine.name + ": " + why); });
  }

  void hintAnswerHits(const std::vector<const EngineAnswerHit*>& hits) {
    std::vector<std::string> urls;
    for (const EngineAnswerHit* hit : hits) {
      const std::string lower = lowerSameLength(hit->url);
      if (!listedUrls_.count(lower) && !checkedOut_.count(lower)) urls.push_back(hit->url);
    }
    ctx_.fetcher.hintUpcoming(urls);
  }

  // A hit listed already by an earlier engine (or this one) is not listed
  // again.
  void listAnswerHit(const EngineAnswerHit& hit) {
    const std::string lower = lowerSameLength(hit.url);
    if (listedUrls_.count(lower) || ctx_.state.engineHitBuffer.containsText(lower)) return;
    std::optional<std::string> foundLines;
    if (ctx_.checkHits && !(foundLines = checkedLines(hit.url))) return;
    if (!rootMade_) addEngineRoot();
    const int32_t n = ++ctx_.foundCount;
    step([&] { showFoundCount(ctx_.state, ctx_.window, n); });
    step([&] {
      ctx_.state.engineHitBuffer.appendUrl(hit.url);
      ctx_.state.engineHitBuffer.appendBlock("");
      ctx_.state.engineHitBuffer.notePlainHit({hit.url, hit.title, hit.description});
    });
    listedUrls_.insert(lower);
    step([&] {
      ctx_.window.insertRtf(Pane::All, foundLines
                                           ? siteEntry(n, hit.url, matchingBody(*foundLines))
                                           : hitEntry(n, hit.title, hit.url, hit.description));
    });
    addHitNode(n, hit.url, hit.title.empty() ? "No Title" : hit.title);
  }

  // Made with the engine's first listed hit, so an engine without hits shows
  // neither root nor heading.
  void addEngineRoot() {
    step([&] {
      NodeSpec node = engineNode(names_);
      ctx_.window.addNode(node);
      currentKey_ = node.key;
    });
    const bool first = !userEngine_ && engine_ == Engine::Yahoo;
    const bool spaced = engineHeadingSpaced(first, ctx_.foundCount);
    step([&] { ctx_.window.insertRtf(Pane::All, engineHeading(names_.headingText, spaced)); });
    rootMade_ = true;
    anyRootMade_ = true;
  }

  EngineSearchContext& ctx_;
  FetchSession session_;
  int64_t maxSites_ = 0;

  Engine engine_ = Engine::Yahoo;
  bool userEngine_ = false;
  EngineNodeNames names_ = kEngineNodeNames[0];
  std::string query_;
  EngineProgress progress_;
  bool rootMade_ = false;
  bool anyRootMade_ = false;
  std::string currentKey_;  // the node added last

  SearchExpression expression_;                 // checked hits
  std::unordered_set<std::string> listedUrls_;  // lower-cased, every engine
  std::unordered_set<std::string> checkedOut_;  // lower-cased hit pages without the texts
};

}  // namespace

std::optional<EndReason> searchWebEngines(EngineSearchContext& context) {
  bool userEngineTicked = false;
  for (const UserEngine& engine : context.userEngines)
    userEngineTicked = userEngineTicked || engine.ticked;
  if (!checkSearchInputs(context.controls, SearchKind::Engines, context.window, userEngineTicked))
    return std::nullopt;
  if (context.checkHits && !context.matcher)
    throw std::logic_error("checked hits need the matcher");
  enterRunningState(context.state, context.window);
  context.foundCount = 0;
  EngineSearch search(context);
  const PageFileScope pageFiles(context.state.dataDir);
  const EndReason reason = search.showLastNode(search.run());
  endSearch(context.state, context.window, context.fetcher, reason);
  return reason;
}

}  // namespace quexa
