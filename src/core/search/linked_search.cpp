#include "search/linked_search.h"

#include <optional>
#include <vector>

#include "app/search_frame.h"
#include "app/text.h"
#include "match/crawl_state.h"
#include "match/expression.h"
#include "match/link_queue.h"
#include "match/links.h"
#include "match/page_match.h"
#include "net/fetch_page.h"
#include "results/documents.h"
#include "search/standard_pages.h"

namespace quexa {

namespace {

// How far ahead the crawl tells the fetcher: enough for its most connections.
constexpr size_t kHintedPages = 32;

// The commands switched off while the search writes the page pane.
constexpr Control kLockedWhileSearching[] = {Control::searchConfig, Control::buttonView,
                                             Control::searchSave, Control::searchPrint};

struct LinkedRun {
  ResultTools& t;
  FetchSession session;
  SearchExpression expression;
  LinkedSearchResult result;

  LinkedRun(ResultTools& tools) : t(tools), session(t.fetcher, t.pump, t.window, t.state) {
    session.onAttempt = t.onAttempt;
    result.started = true;
  }

  void showLinks() {
    t.state.linkStatus = linksStatus(result.linkedMatched, result.linkedFetched);
    t.window.setResultLabel(t.state.linkStatus);
  }

  struct Page {
    bool serverError = false;
    int32_t matchResult = 0;
  };

  // Fetch, server test, body cut, links (all-links mode only), match.
  Page searchPage(const std::string& url, CrawlState* crawl, const std::string& hostName) {
    Page p;
    std::string text = fetchPage(session, url);
    p.serverError = isServerErrorPage(text, session.pagesFetched);
    t.pump.pump();
    text = cutAtBody(text);
    if (crawl) crawl->extractLinks(text, hostName, t.pump);
    p.matchResult =
        matchPage(t.state.dataDir, text, p.serverError, expression, t.matcher, t.state.matchBuffer)
            .result;
    return p;
  }

  void searchSinglePage(const std::string& url) {
    result.linkedFetched = 1;
    t.window.setStatus("Searching " + url);
    const Page p = searchPage(url, nullptr, "");
    if (p.matchResult > 0) result.linkedMatched = 1;
    std::string body;
    if (p.serverError)
      body = linkedServerErrorBody();
    else if (p.matchResult > 0)
      body = matchingBody(linkedMatchedText(t.state.matchBuffer));
    else
      body = noMatchBody();
    t.window.insertRtf(Pane::Page, linkedPageEntry(url, body));
    showLinks();
  }

  // The URL about to be fetched and the queue entries fetched after it, so
  // the fetcher may start them early.
  static std::vector<std::string> upcomingUrls(const std::string& url, const CrawlState& crawl) {
    std::vector<std::string> urls{url};
    for (const std::string& entry : crawl.linkQueue.entries()) {
      if (urls.size() == kHintedPages) break;
      if (!isSkippedQueueEntry(entry)) urls.push_back(entry);
    }
    return urls;
  }

  // Breadth-first over the links that stay on the start URL's host. Unlike
  // the site search, the start URL gets no "/" and index pages are fetched.
  // Maximum Sites bounds the pages it takes, as it bounds the site search.
  void searchAllLinks(const std::string& startUrl, int64_t maxSites) {
    const std::string hostName = hostNameOf(startUrl);
    CrawlState crawl;
    crawl.startSite(startUrl);
    while (crawl.hasEntries()) {
      const std::string url = crawl.popFront();
      if (isSkippedQueueEntry(url)) continue;
      if (result.linkedFetched >= maxSites) throw SearchEnd(EndReason::Completed);
      ++result.linkedFetched;
      crawl.linkQueue.setReach(queueReach(maxSites - result.linkedFetched));
      if (t.state.stopRequest == 1) throw SearchEnd(EndReason::Stopped);
      t.window.setStatus("Searching " + url);
      t.fetcher.hintUpcoming(upcomingUrls(url, crawl));
      const Page p = searchPage(url, &crawl, hostName);
      if (p.matchResult > 0) ++result.linkedMatched;
      if (p.matchResult > 0 || p.serverError) {
        const std::string body = p.serverError
                                     ? serverErrorBody()
                                     : matchingBody(linkedMatchedText(t.state.matchBuffer));
        t.window.insertRtf(Pane::Page, linkedPageEntry(url, body));
      }
      showLinks();
      t.pump.pump();
    }
  }

  // The same crawl under the standard link rules: the start page is taken
  // as its site's address; what is not a page is reported, not listed.
  // Maximum Sites bounds it as it bounds the classic crawl.
  void searchAllLinksStandard(const std::string& startUrl, bool honourRobots, int64_t maxSites) {
    StandardPages pages(session, honourRobots);
    if (!pages.startSite(startUrl)) return;
    while (std::optional<std::string> url = pages.nextAllowed()) {
      if (result.linkedFetched >= maxSites) throw SearchEnd(EndReason::Completed);
      ++result.linkedFetched;
      if (t.state.stopRequest == 1) throw SearchEnd(EndReason::Stopped);
      t.window.setStatus("Searching " + *url);
      t.fetcher.hintUpcoming(pages.upcoming(*url, kHintedPages));
      session.emptyRetries = 0;
      const std::optional<StandardPage> page = pages.fetch(*url, true);
      t.pump.pump();
      if (page) {
        const int32_t matched = matchPage(t.state.dataDir, page->text, false, expression, t.matcher,
                                          t.state.matchBuffer)
                                    .result;
        if (matched > 0) {
          ++result.linkedMatched;
          const std::string body = matchingBody(linkedMatchedText(t.state.matchBuffer));
          t.window.insertRtf(Pane::Page, linkedPageEntry(page->url, body));
        }
      }
      showLinks();
      t.pump.pump();
    }
  }

  void start() {
    t.state.searchRunning = 1;
    t.state.paneBusy = 1;
    t.window.clearUnfetched();
    showLinks();
    t.window.setStatus(kStatusInitializing);
    showLinks();
    t.window.clearPane(Pane::Page);
    t.state.stopRequest = 0;
    t.window.setLampBusy(true);
    t.window.setEnabled(Control::searchStop, true);
    for (Control c : kLockedWhileSearching) t.window.setEnabled(c, false);
  }

  // A failure is reported like a stop: the status line never claims a
  // normal end the search did not have.
  void end() {
    const bool stopped = t.state.stopRequest == 1 || result.reason == EndReason::Failed;
    if (t.state.stopRequest == 1) result.reason = EndReason::Stopped;
    t.window.setStatus(stopped ? kStatusStopped : kStatusReady);
    t.fetcher.cancel();
    t.window.setLampBusy(false);
    t.window.setEnabled(Control::searchStop, false);
    for (Control c : kLockedWhileSearching) t.window.setEnabled(c, true);
    t.state.searchRunning = 0;
    t.state.paneBusy = 0;
    t.window.setBusyCursor(false);
  }
};

}  // namespace

std::string linksStatus(int32_t linkedMatched, int32_t linkedFetched) {
  return "Links: " + digits(linkedMatched) + "/" + digits(linkedFetched);
}

LinkedSearchResult searchPage_Click(ResultTools& tools, const MainControls& controls) {
  if (!stopFirstGuard(tools.state, tools.window)) return {};
  LinkedRun run(tools);
  const PageFileScope pageFiles(tools.state.dataDir);
  try {
    run.start();
    configureTransfer(run.session, controls.settings);
    run.expression = buildExpression(controls);
    const std::string url = tools.state.selectedPageUrl;
    const bool standard = controls.settings.optSearchAll && controls.standardLinks;
    if (standard)
      run.searchAllLinksStandard(url, !controls.ignoreRobots,
                                 maxSitesSetting(controls.settings.hitsText));
    else if (controls.settings.optSearchAll)
      run.searchAllLinks(url, maxSitesSetting(controls.settings.hitsText));
    else
      run.searchSinglePage(url);
  } catch (const SearchEnd& e) {
    run.result.reason = e.reason();
  } catch (const std::exception&) {
    // Every failure but the time-out rule ends this search without a dialog.
    run.result.reason = EndReason::Failed;
  }
  run.end();
  return run.result;
}

}  // namespace quexa
