// A crawled page made ready for its match and its links before the crawl
// takes it: what depends on the page and its site alone, so the fetcher may
// do it on a worker thread while the crawl matches the page before it.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "match/links.h"
#include "net/fetcher.h"

namespace quexa {

struct PreparedPage {
  std::string bodyText;  // the text after the body cut
  PageLinks links;       // what the body text offers the crawl, "href=" by "href="
  std::vector<std::string> standardLinks;  // the standard rules' links of the whole page
};

// The classic preparation for the crawl of the site on hostName: the body cut
// and the links read by the classic rules. Safe for concurrent use.
PagePreparer classicCrawlPreparer(std::string hostName);

// The same under the standard link rules, for the crawl of the site on
// scopeHost: the body cut and the links of the whole page.
PagePreparer standardCrawlPreparer(std::string scopeHost);

}  // namespace quexa
