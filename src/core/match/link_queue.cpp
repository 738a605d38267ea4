#include "match/link_queue.h"

#include <array>

#include "app/text.h"

namespace quexa {

void LinkQueue::push(std::string link) {
  if (!isSkippedQueueEntry(link)) ++takeable_;
  entries_.push_back(std::move(link));
}

std::string LinkQueue::popFront() {
  std::string link = std::move(entries_.front());
  entries_.pop_front();
  if (!isSkippedQueueEntry(link)) --takeable_;
  return link;
}

size_t queueReach(int64_t pagesLeft) {
  return pagesLeft > 0 ? static_cast<size_t>(pagesLeft) : 0;
}

bool isSkippedQueueEntry(std::string_view url) {
  static constexpr std::array<std::string_view, 11> kSkipWords = {
      "<img", "</center", "</table", "</form", ".cgi",  ".zip",
      ".gif", ".exe",     "html#",   "htm#",   "<input"};
  const std::string lowered = lowerSameLength(url);
  for (std::string_view word : kSkipWords)
    if (contains(lowered, word)) return true;
  return false;
}

}  // namespace quexa
