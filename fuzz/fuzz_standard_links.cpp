// The standard link reader over any page: the first input line is the page's
// address, the rest the page. Every link it gives must be a normalized
// address on the site's host, and normalizing it again must not change it.
#include <cstdlib>
#include <string>

#include "fuzz_input.h"
#include "match/standard_crawl.h"
#include "match/standard_links.h"
#include "net/curl_fetcher.h"
#include "net/url.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool started = (quexa::initTransfers(), true);
  (void)started;
  quexa::fuzz::FuzzInput input(data, size);
  const std::string pageUrl(input.takeLine(300));
  const std::string_view page = input.rest();
  const std::string host = quexa::entryHost(pageUrl);
  for (const std::string& link : quexa::readStandardLinks(page, pageUrl, host)) {
    if (quexa::urlHost(link) != host) std::abort();
    if (quexa::normalizeUrl(link) != link) std::abort();
  }
  quexa::StandardCrawl crawl;
  if (crawl.startSite(pageUrl)) crawl.readLinks(page, pageUrl);
  (void)quexa::resolveUrl(pageUrl, page.substr(0, 512));
  return 0;
}
