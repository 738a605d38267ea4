// Taking the links out of a fetched page for the crawl. Plain text search on
// a lower-cased copy of the page, no HTML parsing: a link is what follows
// "href=" and one more character, up to the next double quote or an earlier
// ">". Relative links are resolved against the site's host alone.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "match/link_queue.h"
#include "match/visited_index.h"
#include "net/fetcher.h"

namespace quexa {

// A link with no double quote after it runs to the end of the page. Every
// later "href=" then lies inside it and yields the rest of the page again, so
// keeping all of them would make the queue and the visited list grow with the
// square of the page. Such a link longer than this is no Web address and is
// dropped.
inline constexpr size_t kLongestUnclosedLink = 2048;

// The site URL without its scheme (the first 7 characters, or 8 for
// "https://"), up to the first "/" when it holds one. Keeps the letter case
// of the index entry.
std::string hostNameOf(std::string_view siteUrl);

// The crawl candidate for one lower-cased link, or nothing when the link is
// dropped: an absolute link must start with "http://" and hold hostName; a
// link holding "@" is a mail address; any other link is relative to the host.
std::optional<std::string> resolveLink(std::string_view link, std::string_view hostName);

// What one page offers the crawl: for every "href=" found, in page order, its
// crawl candidate or nothing. Depends on the page and the host alone, so it
// may be read on any thread.
using PageLinks = std::vector<std::optional<std::string>>;
PageLinks readLinks(std::string_view pageText, std::string_view hostName);

// Appends every candidate that is not yet visited to queue and to visited,
// until the queue is full (LinkQueue::isFull). Pending window events are processed twice for every
// "href=" of the page.
void offerLinks(const PageLinks& links, LinkQueue& queue, VisitedIndex& visited, EventPump& pump);

// readLinks, then offerLinks.
void extractLinks(std::string_view pageText, std::string_view hostName, LinkQueue& queue,
                  VisitedIndex& visited, EventPump& pump);

}  // namespace quexa
