// Link extraction over any page: the first input line is the site URL, the
// rest the page. Beyond not crashing, the crawl's bookkeeping must hold: every
// queued link is in the visited list, and the visited list's index answers
// exactly as a search of its text would.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz_input.h"
#include "match/crawl_state.h"
#include "match/links.h"

namespace {

void require(bool ok) {
  if (!ok) std::abort();
}

// The index's answer against the plain text search it stands for.
void checkVisited(const quexa::VisitedIndex& visited, std::string_view candidate) {
  if (candidate.empty()) return;
  require(visited.contains(candidate) == (visited.text().find(candidate) != std::string::npos));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quexa::fuzz::FuzzInput input(data, size);
  const std::string siteUrl(input.takeLine(300));
  const std::string_view page = input.rest();

  quexa::CrawlState crawl;
  quexa::NullPump pump;
  crawl.startSite(siteUrl);
  const std::string hostName = quexa::hostNameOf(siteUrl);
  // Most runs bound the queue as a search near Maximum Sites does.
  const size_t reach = page.size() % 5 == 0 ? SIZE_MAX : page.size() % 13;
  crawl.linkQueue.setReach(reach);
  crawl.extractLinks(page, hostName, pump);

  quexa::LinkQueue& queue = crawl.linkQueue;
  const quexa::VisitedIndex& visited = crawl.visitedList;
  require(queue.front() == siteUrl);
  size_t takeable = 0;
  for (const std::string& entry : queue.entries())
    if (!quexa::isSkippedQueueEntry(entry)) ++takeable;
  require(takeable <= std::max<size_t>(reach, 1));  // the site itself was queued first
  while (crawl.hasEntries()) {
    std::string link = crawl.popFront();
    require(visited.contains(link));
    (void)quexa::isSkippedQueueEntry(link);
    // Prefixes and slices of visited links, and texts running over the
    // blank into the next entry, all count as visited.
    checkVisited(visited, std::string_view(link).substr(0, link.size() / 2));
    checkVisited(visited, std::string_view(link).substr(link.size() / 3));
    checkVisited(visited, link + " ");
    checkVisited(visited, link + " http://");
  }
  // Pieces of the page, which may or may not have been queued.
  for (size_t at = 0; at < page.size() && at < 4096; at += 97) {
    checkVisited(visited, page.substr(at, 24));
    checkVisited(visited, page.substr(at, 3));
  }
  (void)quexa::resolveLink(page.substr(0, 512), hostName);
  return 0;
}
