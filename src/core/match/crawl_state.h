// What one search's crawl keeps between pages: the queue of pending links and
// the list of every link queued so far. The list lives as long as the search:
// a link visited on one site is not queued again for a later one.
#pragma once

#include <string>
#include <string_view>

#include "match/link_queue.h"
#include "match/visited_index.h"
#include "net/fetcher.h"

namespace quexa {

struct CrawlState {
  LinkQueue linkQueue;
  VisitedIndex visitedList;

  // Queues and visits the site's own URL, even when an earlier site has
  // visited it already.
  void startSite(const std::string& siteUrl);
  void extractLinks(std::string_view pageText, std::string_view hostName, EventPump& pump);
  bool hasEntries() const { return linkQueue.hasEntries(); }
  const std::string& front() const { return linkQueue.front(); }
  std::string popFront() { return linkQueue.popFront(); }
};

}  // namespace quexa
