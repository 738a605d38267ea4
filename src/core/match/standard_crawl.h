// What a crawl under the standard link rules keeps between pages: the queue
// of pending addresses (normalized, first in, first out) and the exact set of
// pages ever queued or reached in this search, so each page is requested
// once. Requires external synchronization.
#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace quexa {

class StandardCrawl {
 public:
  // Starts a site from an index entry (or a selected page): its address,
  // normalized, is queued unless this search has reached it already, and
  // its host becomes the scope. False when the entry is no Web address.
  bool startSite(std::string_view entry);
  // Queues the in-scope links of a page not yet visited. page is the whole
  // page text, pageUrl its final address.
  void readLinks(std::string_view page, const std::string& pageUrl);
  // The same for links read already (readStandardLinks on this host).
  void offerLinks(std::vector<std::string> links);
  // Marks an address as visited; false when it was already.
  bool visit(const std::string& normalized);
  bool inScope(const std::string& normalized) const;

  bool hasEntries() const { return !queue_.empty(); }
  std::string popFront();
  const std::deque<std::string>& entries() const { return queue_; }
  const std::string& host() const { return host_; }

 private:
  std::deque<std::string> queue_;
  std::unordered_set<std::string> visited_;  // page keys: http and https alike
  std::string host_;
};

}  // namespace quexa
