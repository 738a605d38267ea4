#include "search/site_search.h"

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/error_policy.h"
#include "app/search_frame.h"
#include "app/text.h"
#include "match/crawl_state.h"
#include "match/expression.h"
#include "match/link_queue.h"
#include "match/links.h"
#include "match/page_match.h"
#include "match/prepared_page.h"
#include "net/fetch_page.h"
#include "results/documents.h"
#include "results/node_keys.h"
#include "search/standard_pages.h"

namespace quexa {

namespace {

// How far ahead the crawl tells the fetcher: enough for its most connections.
constexpr size_t kHintedPages = 32;

// A page as matching sees it: cut at its body, with the server-error flag of
// the test made before the cut.
struct FetchedPage {
  std::string text;
  bool serverError = false;
  std::shared_ptr<PreparedPage> prepared;  // cut and links read ahead, when the fetcher did
};

// The crawl of one site has its pages prepared by the fetcher; no later
// search inherits that.
struct PreparerReset {
  Fetcher& fetcher;
  ~PreparerReset() { fetcher.setPreparer(nullptr); }
};

class SiteSearch {
 public:
  explicit SiteSearch(SiteSearchContext& context)
      : ctx_(context), session_(context.fetcher, context.pump, context.window, context.state) {}

  // Everything between the start and the end sequence; the way it ended.
  EndReason run() {
    return runToEnd([&] {
      readInputs();
      resetForSearch(ctx_.state, ctx_.window);
      addIndexNode();
      for (const std::string& entry : ctx_.controls.listCategory) {
        searchEntry(entry);
        step([&] { ctx_.window.makeVisible(lastNodeKey_); });
        if (ctx_.state.stopRequest == 1) return EndReason::Stopped;
      }
      return EndReason::Completed;
    });
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
      expression_ = buildExpression(ctx_.controls);
      configureTransfer(session_, ctx_.controls.settings);
      maxSites_ = maxSitesSetting(ctx_.controls.settings.hitsText);
      indexName_ = ctx_.controls.searchCatText;
      allLinks_ = ctx_.controls.settings.optSearchAll;
    });
    if (allLinks_ && ctx_.controls.standardLinks)
      standard_.emplace(session_, !ctx_.controls.ignoreRobots);
  }

  void addIndexNode() {
    step([&] {
      NodeSpec node = indexNode(indexName_);
      ctx_.window.addNode(node);
      ctx_.window.makeVisible(node.key);
      lastNodeKey_ = node.key;
    });
  }

  void searchEntry(const std::string& entry) {
    siteUrl_ = entry;
    siteNodeMade_ = false;
    step([&] { ctx_.fetcher.cancel(); });
    if (standard_)
      crawlSiteStandard();
    else if (allLinks_)
      crawlSite();
    else
      searchSinglePage();
  }

  void searchSinglePage() {
    session_.timeoutRetries = 0;
    step([&] { ctx_.window.setStatus("Searching " + siteUrl_); });
    session_.pagesFetched = 0;
    FetchedPage page = fetchAndCut(siteUrl_);
    PageMatch match = matchFetched(page);
    if (match.hit) listPage(indexNodeKey(indexName_), siteUrl_, siteUrl_, page, match);
  }

  void crawlSite() {
    session_.timeoutRetries = 0;
    session_.pagesFetched = 0;
    hostName_ = hostNameOf(siteUrl_);
    rootSlashUrl_.clear();
    step([&] { crawl_.startSite(siteUrl_); });
    ctx_.fetcher.setPreparer(classicCrawlPreparer(hostName_));
    const PreparerReset reset{ctx_.fetcher};
    while (crawl_.hasEntries()) {
      std::string url = crawl_.popFront();
      if (isSkippedQueueEntry(url)) continue;
      step([&] { ctx_.window.setStatus("Searching " + url); });
      if (ctx_.state.stopRequest == 1) throw SearchEnd(EndReason::Stopped);
      // Maximum Sites bounds the pages a search takes from its queues.
      if (++pagesTaken_ > maxSites_) throw SearchEnd(EndReason::Completed);
      if (trim(url).size() == trim(siteUrl_).size()) {
        url += '/';
        rootSlashUrl_ = url;
      }
      if (session_.pagesFetched > 0 && isRootIndexPage(url)) continue;
      ctx_.fetcher.hintUpcoming(upcomingUrls(url));
      FetchedPage page = fetchAndCut(url);
      // The entry after the last page the search may take is still taken: its
      // "Searching" status shows before the bound ends the search.
      crawl_.linkQueue.setReach(queueReach(maxSites_ - pagesTaken_ + 1));
      step([&] {
        if (page.prepared)
          offerLinks(page.prepared->links, crawl_.linkQueue, crawl_.visitedList, ctx_.pump);
        else
          crawl_.extractLinks(page.text, hostName_, ctx_.pump);
      });
      PageMatch match = matchFetched(page);
      if (match.hit) {
        addSiteNode();
        listPage(siteUrl_, url, linkedPageText(url, siteUrl_), page, match);
      }
      ctx_.pump.pump();
    }
  }

  // The same crawl under the standard link rules: no skip list, no added
  // "/", no server error pages; what is not a page is reported, not listed.
  void crawlSiteStandard() {
    session_.timeoutRetries = 0;
    session_.pagesFetched = 0;
    if (!standard_->startSite(siteUrl_)) return;
    ctx_.fetcher.setPreparer(standardCrawlPreparer(standard_->host()));
    const PreparerReset reset{ctx_.fetcher};
    for (;;) {
      std::optional<std::string> url;
      step([&] { url = standard_->nextAllowed(); });
      if (!url) break;
      step([&] { ctx_.window.setStatus("Searching " + *url); });
      if (ctx_.state.stopRequest == 1) throw SearchEnd(EndReason::Stopped);
      if (++pagesTaken_ > maxSites_) throw SearchEnd(EndReason::Completed);
      const int64_t left = maxSites_ - pagesTaken_ + 1;
      ctx_.fetcher.hintUpcoming(
          standard_->upcoming(*url, static_cast<size_t>(std::min<int64_t>(kHintedPages, left))));
      std::optional<StandardPage> page;
      step([&] {
        session_.emptyRetries = 0;
        page = standard_->fetch(*url, true);
      });
      ctx_.pump.pump();
      if (page) {
        FetchedPage fetched{std::move(page->text), false, nullptr};
        PageMatch match = matchFetched(fetched);
        if (match.hit) {
          addSiteNode();
          listPage(siteUrl_, page->url, linkedPageText(page->url, siteUrl_), fetched, match);
        }
      }
      ctx_.pump.pump();
    }
  }

  // The site's home page under its other names, once the site is fetched.
  bool isRootIndexPage(const std::string& url) const { return isRootIndexPage(url, rootSlashUrl_); }
  static bool isRootIndexPage(const std::string& url, const std::string& rootSlashUrl) {
    return url == rootSlashUrl + "index.html" || url == rootSlashUrl + "index.htm";
  }

  // The URL about to be fetched and the ones the queue will have fetched
  // next, by the same rules the loop applies, so the fetcher may start them.
  std::vector<std::string> upcomingUrls(const std::string& url) const {
    std::vector<std::string> urls{url};
    std::string rootSlash = rootSlashUrl_;
    int64_t taken = pagesTaken_;
    for (const std::string& entry : crawl_.linkQueue.entries()) {
      if (urls.size() == kHintedPages) break;
      if (isSkippedQueueEntry(entry)) continue;
      if (++taken > maxSites_) break;
      std::string next = entry;
      if (trim(next).size() == trim(siteUrl_).size()) {
        next += '/';
        rootSlash = next;
      }
      if (isRootIndexPage(next, rootSlash)) continue;  // the site is fetched by then
      urls.push_back(std::move(next));
    }
    return urls;
  }

  FetchedPage fetchAndCut(const std::string& url) {
    FetchedPage page;
    step([&] {
      session_.emptyRetries = 0;
      page.text = fetchPage(session_, url);
      page.prepared = ctx_.fetcher.takePrepared();
    });
    page.serverError = isServerErrorPage(page.text, session_.pagesFetched);
    ctx_.pump.pump();
    page.text = page.prepared ? std::move(page.prepared->bodyText) : cutAtBody(page.text);
    return page;
  }

  PageMatch matchFetched(const FetchedPage& page) {
    // A skipped match (its page file went missing) still lists a server's
    // error page, whatever the matcher would have said.
    PageMatch match;
    match.hit = page.serverError;
    step([&] {
      match = matchPage(ctx_.state.dataDir, page.text, page.serverError, expression_, ctx_.matcher,
                        ctx_.state.matchBuffer);
    });
    return match;
  }

  void addSiteNode() {
    if (siteNodeMade_) return;
    step([&] {
      NodeSpec node = siteNode(indexName_, siteUrl_);
      ctx_.window.addNode(node);
      ctx_.window.makeVisible(node.key);
      lastNodeKey_ = node.key;
    });
    siteNodeMade_ = true;
  }

  void listPage(const std::string& parentKey, const std::string& pageUrl,
                const std::string& pageText, const FetchedPage& page, const PageMatch& match) {
    const int32_t n = ++ctx_.foundCount;
    step([&] { showFoundCount(ctx_.state, ctx_.window, n); });
    step([&] {
      const std::string body = page.serverError ? serverErrorBody() : matchingBody(match.extract);
      ctx_.window.insertRtf(Pane::All, siteEntry(n, pageUrl, body));
    });
    step([&] {
      NodeSpec node = pageNode(parentKey, n, pageUrl, pageText, page.serverError);
      ctx_.window.addNode(node);
      lastNodeKey_ = node.key;
    });
  }

  SiteSearchContext& ctx_;
  FetchSession session_;
  SearchExpression expression_;
  int64_t maxSites_ = 0;
  int64_t pagesTaken_ = 0;  // link pages taken from the queues, search-wide
  std::string indexName_;
  bool allLinks_ = false;
  std::string lastNodeKey_;
  CrawlState crawl_;                       // the visited list lives as long as the search
  std::optional<StandardPages> standard_;  // the standard link rules, when chosen

  std::string siteUrl_;
  std::string hostName_;
  std::string rootSlashUrl_;
  bool siteNodeMade_ = false;
};

}  // namespace

std::optional<EndReason> searchMineSites(SiteSearchContext& context) {
  if (!checkSearchInputs(context.controls, SearchKind::Sites, context.window)) return std::nullopt;
  enterRunningState(context.state, context.window);
  context.foundCount = 0;
  const PageFileScope pageFiles(context.state.dataDir);
  const EndReason reason = SiteSearch(context).run();
  endSearch(context.state, context.window, context.fetcher, reason);
  return reason;
}

}  // namespace quexa
