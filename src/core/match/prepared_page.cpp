#include "match/prepared_page.h"

#include "match/standard_links.h"
#include "net/fetch_page.h"

namespace quexa {

PagePreparer classicCrawlPreparer(std::string hostName) {
  return [hostName = std::move(hostName)](const std::string&, std::string_view text) {
    auto page = std::make_shared<PreparedPage>();
    page->bodyText = cutAtBody(text);
    page->links = readLinks(page->bodyText, hostName);
    return page;
  };
}

PagePreparer standardCrawlPreparer(std::string scopeHost) {
  return [scopeHost = std::move(scopeHost)](const std::string& url, std::string_view text) {
    auto page = std::make_shared<PreparedPage>();
    page->bodyText = cutAtBody(text);
    page->standardLinks = readStandardLinks(text, url, scopeHost);
    return page;
  };
}

}  // namespace quexa
