// The standard link reader over any page: the first input line is the page's
// address, the second another page's address, the rest the page. Every link
// it gives must be a normalized address on the site's host, and normalizing
// it again must not change it; the parser must find the same links in the
// page cut down to its markup as in the whole page; and a remembered
// resolution (from the other address) must be the one libcurl gives anew.
#include <cstdlib>
#include <string>

#include "fuzz_input.h"
#include "match/standard_crawl.h"
#include "match/standard_links.h"
#include "net/curl_fetcher.h"
#include "net/url.h"

namespace {

void checkRemembered(const std::string& pageUrl, const std::string& otherUrl,
                     std::string_view link) {
  quexa::forgetResolvedLinks();
  (void)quexa::resolveUrl(otherUrl, link);
  const auto remembered = quexa::resolveUrl(pageUrl, link);
  quexa::forgetResolvedLinks();
  if (remembered != quexa::resolveUrl(pageUrl, link)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool started = (quexa::initTransfers(), true);
  (void)started;
  quexa::fuzz::FuzzInput input(data, size);
  const std::string pageUrl(input.takeLine(300));
  const std::string otherUrl(input.takeLine(300));
  const std::string_view page = input.rest();
  const std::string host = quexa::entryHost(pageUrl);
  const auto links = quexa::readStandardLinks(page, pageUrl, host);
  for (const std::string& link : links) {
    if (quexa::urlHost(link) != host) std::abort();
    if (quexa::normalizeUrl(link) != link) std::abort();
  }
  if (links != quexa::readStandardLinks(page, pageUrl, host, true)) std::abort();
  quexa::StandardCrawl crawl;
  if (crawl.startSite(pageUrl)) crawl.readLinks(page, pageUrl);
  checkRemembered(pageUrl, otherUrl, page.substr(0, page.find('\n')));
  return 0;
}
