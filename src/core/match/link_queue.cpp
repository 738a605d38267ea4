#include "match/link_queue.h"

#include <array>

#include "app/text.h"

namespace quexa {

std::string LinkQueue::popFront() {
  std::string link = std::move(entries_.front());
  entries_.pop_front();
  return link;
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
