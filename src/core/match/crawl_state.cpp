#include "match/crawl_state.h"

#include "match/links.h"

namespace quexa {

void CrawlState::startSite(const std::string& siteUrl) {
  linkQueue.push(siteUrl);
  visitedList.add(siteUrl);
}

void CrawlState::extractLinks(std::string_view pageText, std::string_view hostName,
                              EventPump& pump) {
  quexa::extractLinks(pageText, hostName, linkQueue, visitedList, pump);
}

}  // namespace quexa
