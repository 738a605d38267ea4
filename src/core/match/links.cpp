#include "match/links.h"

#include <cstring>

#include "app/text.h"

namespace quexa {

namespace {

constexpr std::string_view kHref = "href=";
constexpr size_t npos = std::string_view::npos;

// Where the link starts: after "href=" and the one character that follows
// it, normally the opening quote. A character is a whole UTF-8 sequence, so a
// link never starts inside one.
size_t afterSkippedCharacter(std::string_view page, size_t at) {
  if (at >= page.size()) return page.size();
  const auto lead = static_cast<unsigned char>(page[at]);
  size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  size_t end = at + 1;
  while (end < page.size() && end < at + length &&
         (static_cast<unsigned char>(page[end]) & 0xC0) == 0x80)
    ++end;
  return end;
}

// The first double quote at or after a position. The positions asked for
// only grow, so the page is scanned for quotes once in all.
class QuoteFinder {
 public:
  explicit QuoteFinder(std::string_view page) : page_(page) {}
  size_t firstFrom(size_t from) {
    if (noneLeft_) return npos;
    if (last_ != npos && last_ >= from) return last_;
    last_ = page_.find('"', from);
    noneLeft_ = last_ == npos;
    return last_;
  }

 private:
  std::string_view page_;
  size_t last_ = npos;
  bool noneLeft_ = false;
};

// The end of a link that has a closing quote: the quote, or a ">" before it.
size_t linkEnd(std::string_view page, size_t tail, size_t quote) {
  const void* gt = std::memchr(page.data() + tail, '>', quote - tail);
  return gt ? static_cast<size_t>(static_cast<const char*>(gt) - page.data()) : quote;
}

}  // namespace

std::string hostNameOf(std::string_view siteUrl) {
  // An https entry's host is its authority too, not what seven dropped
  // characters would leave of it.
  const size_t schemeLength = lowerSameLength(siteUrl.substr(0, 8)) == "https://" ? 8 : 7;
  std::string_view rest =
      siteUrl.size() > schemeLength ? siteUrl.substr(schemeLength) : std::string_view();
  return std::string(rest.substr(0, rest.find('/')));
}

std::optional<std::string> resolveLink(std::string_view link, std::string_view hostName) {
  if (contains(link, "http")) {
    // The host test keeps the index entry's letter case against the
    // lower-cased link.
    if (contains(link, hostName) && startsWith(link, "http://")) return std::string(link);
    return std::nullopt;
  }
  if (contains(link, "@")) return std::nullopt;
  std::string candidate = "http://";
  candidate.append(hostName);
  if (link.empty() || link.front() != '/') candidate.push_back('/');
  candidate.append(link);
  return candidate;
}

// Works on positions in one lower-cased copy of the page; the rest of the
// page after each link is never copied or lower-cased again.
PageLinks readLinks(std::string_view pageText, std::string_view hostName) {
  const std::string lowered = lowerSameLength(pageText);
  const std::string_view page = lowered;
  PageLinks links;
  QuoteFinder quotes(page);
  size_t href = page.find(kHref);
  while (href != npos) {
    const size_t tail = afterSkippedCharacter(page, href + kHref.size());
    const size_t quote = quotes.firstFrom(tail);
    size_t rest;
    if (quote == npos) {
      // No quote ahead: the link is the whole tail, even past a ">", and the
      // search goes on inside it.
      links.push_back(page.size() - tail <= kLongestUnclosedLink
                          ? resolveLink(page.substr(tail), hostName)
                          : std::nullopt);
      rest = tail;
    } else {
      const size_t end = linkEnd(page, tail, quote);
      links.push_back(resolveLink(page.substr(tail, end - tail), hostName));
      rest = end + 1;
    }
    href = page.find(kHref, rest);
  }
  return links;
}

void offerLinks(const PageLinks& links, LinkQueue& queue, VisitedIndex& visited, EventPump& pump) {
  for (const std::optional<std::string>& candidate : links) {
    pump.pump();
    // A full queue takes nothing more: beyond the pages the search may still take.
    if (!queue.isFull() && candidate && !visited.contains(*candidate)) {
      visited.add(*candidate);
      queue.push(*candidate);
    }
    pump.pump();
  }
}

void extractLinks(std::string_view pageText, std::string_view hostName, LinkQueue& queue,
                  VisitedIndex& visited, EventPump& pump) {
  offerLinks(readLinks(pageText, hostName), queue, visited, pump);
}

}  // namespace quexa
