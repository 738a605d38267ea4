// The pages of one crawl under the standard link rules, for the site search
// and the linked-page search: the queue and exact visited set, robots.txt
// before each site's first page, the fetch that reads only pages, links taken
// from the whole page against its final address. What is not fetched or not
// read goes to the window's quiet report with the reason.
//
// Lives for one search on the thread that runs it; requires external
// synchronization.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/window.h"
#include "match/standard_crawl.h"
#include "net/fetch_page.h"
#include "net/robots.h"

namespace quexa {

struct StandardPage {
  std::string url;   // the final address, normalized
  std::string text;  // cut at its body, for matching
};

class StandardPages {
 public:
  // Turns the fetcher to pages only for the life of this object.
  StandardPages(FetchSession& session, bool honourRobots);
  ~StandardPages();
  StandardPages(const StandardPages&) = delete;
  StandardPages& operator=(const StandardPages&) = delete;

  // Queues the site's own address as written (normalized). An entry that is
  // no Web address is reported and gives false.
  bool startSite(const std::string& entry);
  bool hasEntries() const { return crawl_.hasEntries(); }
  const std::string& host() const { return crawl_.host(); }
  // The next queued address that robots.txt allows; disallowed ones are
  // reported and dropped unfetched. Nothing when the queue runs out.
  std::optional<std::string> nextAllowed();
  // Fetches url and, when it is a page on the site not met before, reads its
  // links (when readLinks) and gives it to match.
  std::optional<StandardPage> fetch(const std::string& url, bool readLinks);
  // url and the queued addresses after it that are known to be allowed, at
  // most count of them, for the fetcher to start early.
  std::vector<std::string> upcoming(const std::string& url, size_t count) const;

 private:
  RobotsSites::Answer fetchRobots(const std::string& robotsUrl);

  FetchSession& session_;
  bool honourRobots_;
  StandardCrawl crawl_;
  RobotsSites robots_;
};

}  // namespace quexa
