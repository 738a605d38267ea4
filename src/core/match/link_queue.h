// The crawl's queue of pending links, first in, first out. The queue is kept
// as separate entries rather than one text where each link is followed by the
// marker "<\BO>": the two are the same as long as no entry holds the marker.
// A link never does. It is taken in lower case, and the marker's "B" and "O"
// are capitals; the host part put in front of a relative link is followed by
// "/" (or by the link's own leading "/"), never by ">". Only a site URL typed
// into an index with the marker text inside could hold it; such a URL stays
// one entry here instead of falling apart at the marker.
#pragma once

#include <deque>
#include <string>
#include <string_view>

namespace quexa {

class LinkQueue {
 public:
  void push(std::string link) { entries_.push_back(std::move(link)); }
  bool hasEntries() const { return !entries_.empty(); }
  // The oldest entry; only when hasEntries().
  const std::string& front() const { return entries_.front(); }
  std::string popFront();
  size_t size() const { return entries_.size(); }
  // Every pending entry, oldest first (what the crawl will take next).
  const std::deque<std::string>& entries() const { return entries_; }

 private:
  std::deque<std::string> entries_;
};

// A queue entry that holds remains of HTML or points at a file that is no
// page: the crawl drops it unfetched. The test is on the lower-cased entry.
bool isSkippedQueueEntry(std::string_view url);

}  // namespace quexa
