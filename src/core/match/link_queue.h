// The crawl's queue of pending links, first in, first out. The queue is kept
// as separate entries rather than one text where each link is followed by the
// marker "<\BO>": the two are the same as long as no entry holds the marker.
// A link never does. It is taken in lower case, and the marker's "B" and "O"
// are capitals; the host part put in front of a relative link is followed by
// "/" (or by the link's own leading "/"), never by ">". Only a site URL typed
// into an index with the marker text inside could hold it; such a URL stays
// one entry here instead of falling apart at the marker.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

namespace quexa {

// Requires external synchronization (the crawl's one thread).
class LinkQueue {
 public:
  void push(std::string link);
  bool hasEntries() const { return !entries_.empty(); }
  // The oldest entry; only when hasEntries().
  const std::string& front() const { return entries_.front(); }
  std::string popFront();
  size_t size() const { return entries_.size(); }
  // Every pending entry, oldest first (what the crawl will take next).
  const std::deque<std::string>& entries() const { return entries_; }

  // How many more entries the crawl can take from the queue (entries it
  // drops unfetched aside) before its search ends. The queue is first in,
  // first out, so a link offered once that many are waiting can never be
  // fetched: the crawl neither queues nor visits it, and the queue stays as
  // small as the pages the search may still take. No bound until set.
  void setReach(size_t entries) { reach_ = entries; }
  bool isFull() const { return takeable_ >= reach_; }

 private:
  std::deque<std::string> entries_;
  size_t takeable_ = 0;  // entries that are not dropped unfetched
  size_t reach_ = SIZE_MAX;
};

// The reach of a queue whose search may still take pagesLeft pages (none
// when it is below 0).
size_t queueReach(int64_t pagesLeft);

// A queue entry that holds remains of HTML or points at a file that is no
// page: the crawl drops it unfetched. The test is on the lower-cased entry.
bool isSkippedQueueEntry(std::string_view url);

}  // namespace quexa
