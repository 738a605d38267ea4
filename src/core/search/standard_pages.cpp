#include "search/standard_pages.h"

#include "app/text.h"
#include "match/prepared_page.h"
#include "net/curl_fetcher.h"
#include "net/url.h"

namespace quexa {

StandardPages::StandardPages(FetchSession& session, bool honourRobots)
    : session_(session),
      honourRobots_(honourRobots),
      robots_([this](const std::string& robotsUrl) { return fetchRobots(robotsUrl); }) {
  session_.fetcher.setPagesOnly(true);
}

StandardPages::~StandardPages() {
  session_.fetcher.setPagesOnly(false);
}

bool StandardPages::startSite(const std::string& entry) {
  if (crawl_.startSite(trim(entry))) return true;
  session_.window.reportUnfetched(entry, "not an http:// or https:// address");
  return false;
}

RobotsSites::Answer StandardPages::fetchRobots(const std::string& robotsUrl) {
  // robots.txt is read whatever type it is sent as, and asked for once:
  // without an answer the site is left out.
  session_.fetcher.setPagesOnly(false);
  if (session_.onAttempt) session_.onAttempt(robotsUrl);
  const FetchResult result = session_.fetcher.fetch(robotsUrl, session_.currentTimeout);
  session_.fetcher.setPagesOnly(true);
  if (result.status != FetchStatus::Ok) return {};
  return {result.httpStatus, result.body};
}

std::optional<std::string> StandardPages::nextAllowed() {
  while (crawl_.hasEntries()) {
    std::string url = crawl_.popFront();
    if (!honourRobots_ || robots_.allows(url)) return url;
    if (robots_.siteUnreadable(url)) {
      const std::string notice = "robots.txt could not be read; site left out: " + robotsUrlOf(url);
      session_.window.setStatus(notice);
      session_.window.reportUnfetched(url, "robots.txt could not be read");
    } else {
      session_.window.reportUnfetched(url, "disallowed by robots.txt");
    }
  }
  return std::nullopt;
}

std::optional<StandardPage> StandardPages::fetch(const std::string& url, bool readLinks) {
  Window& window = session_.window;
  std::string current = url;
  for (long hops = 0;; ++hops) {
    FetchResult answer = fetchAnswer(session_, current);
    const std::shared_ptr<PreparedPage> prepared = session_.fetcher.takePrepared();
    if (answer.status == FetchStatus::Unreachable) {
      window.reportUnfetched(current, answer.error.empty() ? "unreachable" : answer.error);
      return std::nullopt;
    }
    if (answer.httpStatus >= 400) {
      window.reportUnfetched(current, "HTTP " + std::to_string(answer.httpStatus));
      return std::nullopt;
    }
    if (answer.httpStatus >= 300 && !answer.redirectUrl.empty()) {
      const std::optional<std::string> target = resolveUrl(current, answer.redirectUrl);
      if (!target || !crawl_.inScope(*target)) {
        window.reportUnfetched(current, "redirected off the site: " + answer.redirectUrl);
        return std::nullopt;
      }
      if (hops == kMaxRedirects) {
        window.reportUnfetched(url, "too many redirects");
        return std::nullopt;
      }
      // The same page over the other scheme is this page; a page met before
      // was read then (or waits in the queue), so the redirect ends here.
      if (pageKey(*target) != pageKey(current) && !crawl_.visit(*target)) return std::nullopt;
      if (*target == current) {
        window.reportUnfetched(url, "redirects to itself");
        return std::nullopt;
      }
      if (honourRobots_ && !robots_.allows(*target)) {
        window.reportUnfetched(*target, "disallowed by robots.txt");
        return std::nullopt;
      }
      current = *target;
      continue;
    }
    if (answer.notPage) {
      window.reportUnfetched(current, "not a page: " + answer.contentType);
      return std::nullopt;
    }
    StandardPage page;
    page.url = current;
    if (prepared) {
      if (readLinks) crawl_.offerLinks(std::move(prepared->standardLinks));
      page.text = std::move(prepared->bodyText);
    } else {
      if (readLinks) crawl_.readLinks(answer.body, page.url);
      page.text = cutAtBody(answer.body);
    }
    return page;
  }
}

std::vector<std::string> StandardPages::upcoming(const std::string& url, size_t count) const {
  std::vector<std::string> urls{url};
  for (const std::string& next : crawl_.entries()) {
    if (urls.size() >= count) break;
    if (!honourRobots_) {
      urls.push_back(next);
      continue;
    }
    const std::optional<bool> allowed = robots_.knownAllows(next);
    // A site whose robots.txt is not read yet stops the hint: its file
    // comes first.
    if (!allowed) break;
    if (*allowed) urls.push_back(next);
  }
  return urls;
}

}  // namespace quexa
