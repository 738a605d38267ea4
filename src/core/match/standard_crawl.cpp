#include "match/standard_crawl.h"

#include <optional>

#include "match/standard_links.h"
#include "net/url.h"

namespace quexa {

bool StandardCrawl::startSite(std::string_view entry) {
  if (!isWebAddress(entry)) return false;
  const std::optional<std::string> url = normalizeUrl(entry);
  if (!url) return false;
  host_ = urlHost(*url);
  if (visit(*url)) queue_.push_back(*url);
  return true;
}

void StandardCrawl::readLinks(std::string_view page, const std::string& pageUrl) {
  offerLinks(readStandardLinks(page, pageUrl, host_));
}

void StandardCrawl::offerLinks(std::vector<std::string> links) {
  for (std::string& link : links)
    if (visit(link)) queue_.push_back(std::move(link));
}

bool StandardCrawl::visit(const std::string& normalized) {
  return visited_.emplace(pageKey(normalized)).second;
}

bool StandardCrawl::inScope(const std::string& normalized) const {
  return urlHost(normalized) == host_;
}

std::string StandardCrawl::popFront() {
  std::string url = std::move(queue_.front());
  queue_.pop_front();
  return url;
}

}  // namespace quexa
