#include "results/page_view.h"

#include "app/error_policy.h"
#include "app/search_frame.h"
#include "app/text.h"
#include "match/expression.h"
#include "match/page_match.h"
#include "net/fetch_page.h"
#include "results/documents.h"
#include "results/node_keys.h"
#include "search/engines/hit_detail.h"

namespace quexa {

namespace {

constexpr const char* kNoLinksYet = "Links: 0/0";

// The commands a one-page search switches off while it writes the pane.
constexpr Control kLockedWhileViewing[] = {Control::searchConfig, Control::buttonView,
                                           Control::searchSave, Control::searchPrint};

void enterViewingState(AppState& state, Window& window) {
  window.setLampBusy(true);
  window.setEnabled(Control::searchStop, true);
  for (Control c : kLockedWhileViewing) window.setEnabled(c, false);
  state.searchRunning = 1;
  state.paneBusy = 1;
  window.clearUnfetched();
  // A stop asked for during an earlier search must not cut this fetch's
  // retries short.
  state.stopRequest = 0;
}

void leaveViewingState(AppState& state, Window& window) {
  window.setLampBusy(false);
  window.setEnabled(Control::searchStop, false);
  for (Control c : kLockedWhileViewing) window.setEnabled(c, true);
  state.searchRunning = 0;
  state.paneBusy = 0;
  window.setBusyCursor(false);
  window.setStatus(kStatusReady);
}

// The end steps of every page view, whichever way it went.
void endPageView(ResultTools& t) {
  t.window.setStatus(kStatusReady);
  t.fetcher.cancel();
  t.window.setLampBusy(false);
  t.window.setBusyCursor(false);
}

void viewSitePage(ResultTools& t, FetchSession& session, const SearchExpression& expression,
                  std::string_view nodeKey, bool standardLinks) {
  Window& window = t.window;
  enterViewingState(t.state, window);
  window.resetPane(Pane::Page);
  const std::string url = urlFromNodeKey(nodeKey, standardLinks);
  t.state.selectedPageUrl = url;
  window.setStatus("Searching " + url);

  std::string page;
  bool serverError = false;
  runStep(window, ErrorTable::Search, [&] {
    t.fetcher.cancel();
    session.pagesFetched = 0;  // the page counts as the first of its site
    page = fetchPage(session, url);
    serverError = isServerErrorPage(page, session.pagesFetched);
  });
  t.pump.pump();
  page = cutAtBody(page);

  PageMatch match;
  runStep(window, ErrorTable::Search, [&] {
    match =
        matchPage(t.state.dataDir, page, serverError, expression, t.matcher, t.state.matchBuffer);
  });
  if (match.hit) {
    const std::string body = serverError ? serverErrorBody() : matchingBody(match.extract);
    runStep(window, ErrorTable::Search,
            [&] { window.insertRtf(Pane::Page, pageMatchView(url, body)); });
  }
  leaveViewingState(t.state, window);
}

void viewEngineHit(ResultTools& t, std::string_view nodeKey) {
  Window& window = t.window;
  window.setEnabled(Control::searchPage, true);
  window.setResultLabel(kNoLinksYet);
  t.state.linkStatus = kNoLinksYet;
  window.clearPane(Pane::Page);
  t.state.selectedPageUrl = urlFromNodeKey(nodeKey);
  window.insertRtf(Pane::Page, hitDetailDocument(t.state.engineHitBuffer, nodeKey));
}

}  // namespace

std::string hitDetailDocument(const EngineHitStore& store, std::string_view nodeKey) {
  const std::string url = urlFromNodeKey(nodeKey);
  if (const EngineHitStore::PlainHit* hit = store.plainHit(url))
    return hitDetailView(hitDetail(hit->title, hit->url, hit->description));
  if (!store.containsText(url)) return hitDetailView("");
  const HitDetail detail = splitHitText(engineForKey(lowerSameLength(nodeKey)), store.hitText(url));
  if (!detail.split) return hitDetailView(unsplitHitDetail(detail.text));
  return hitDetailView(hitDetail(detail.title, url, detail.description));
}

void outlineFile_NodeClick(ResultTools& t, const MainControls& controls, std::string_view nodeKey,
                           bool hasChildren) {
  if (!stopFirstGuard(t.state, t.window)) return;
  FetchSession session(t.fetcher, t.pump, t.window, t.state);
  session.onAttempt = t.onAttempt;
  const bool viewingSitePage = !hasChildren && controls.frameMineEnabled;
  try {
    SearchExpression expression;
    runStep(t.window, ErrorTable::Search, [&] {
      expression = buildExpression(controls);
      configureTransfer(session, controls.settings);
    });
    t.window.setLampBusy(true);
    if (!hasChildren) {
      if (controls.frameMineEnabled)
        viewSitePage(t, session, expression, nodeKey, controls.standardLinks);
      else
        viewEngineHit(t, nodeKey);
    }
  } catch (const std::exception&) {
    // Where a search would end (SearchEnd) or a window call failed, the view
    // ends: the window goes back to idle so that later commands are not
    // refused as if a search still ran.
    if (viewingSitePage && t.state.searchRunning == 1) leaveViewingState(t.state, t.window);
  }
  endPageView(t);
}

}  // namespace quexa
