// The standard link rules: one spelling per address, links read as an HTML
// parser reads them and resolved as RFC 3986 resolves them, the site's scope
// and the exact visited set.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "match/standard_crawl.h"
#include "match/standard_links.h"
#include "net/curl_fetcher.h"
#include "net/url.h"

namespace quexa {
namespace {

using Links = std::vector<std::string>;

class StandardLinks : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { initTransfers(); }
};

TEST_F(StandardLinks, ResolutionAndNormalForm) {
  const std::string page = "http://Site.COM:80/docs/lib/page.html?x=1#top";
  struct Case {
    const char* link;
    const char* resolved;  // "" when the link is dropped
  } cases[] = {
      {"other.html", "http://site.com/docs/lib/other.html"},
      {"../Guide/Index.html?Q=Caps#frag", "http://site.com/docs/Guide/Index.html?Q=Caps"},
      {"./a/./b/../c.html", "http://site.com/docs/lib/a/c.html"},
      {"/top.html", "http://site.com/top.html"},
      {"//site.com/abs", "http://site.com/abs"},
      {"?only=query", "http://site.com/docs/lib/page.html?only=query"},
      {"#just-a-fragment", "http://site.com/docs/lib/page.html?x=1"},
      {"HTTPS://SITE.com:443", "https://site.com/"},
      {"https://site.com:8443/x", "https://site.com:8443/x"},
      {"  spaced name.html\n", "http://site.com/docs/lib/spaced%20name.html"},
      {"caf\xc3\xa9.html", "http://site.com/docs/lib/caf%C3%A9.html"},
      {"mailto:someone@site.com", ""},
      {"javascript:void(0)", ""},
      {"ftp://site.com/file", ""},
      {"data:text/html,hi", ""},
      {"tel:123", ""},
      {"http://[::1", ""},
      {"a\x01"
       "b.html",
       ""},
  };
  for (const Case& c : cases) {
    const auto got = resolveUrl(page, c.link);
    EXPECT_EQ(got.value_or(""), c.resolved) << c.link;
  }
  EXPECT_EQ(resolveUrl("", std::string(10000, 'x')), std::nullopt);
  EXPECT_EQ(normalizeUrl("http://Host.example"), "http://host.example/");
}

TEST_F(StandardLinks, HostsKeysAndEntries) {
  EXPECT_EQ(urlHost("https://user@docs.site.com:8443/x"), "docs.site.com");
  EXPECT_EQ(pageKey("https://site.com/a?b"), pageKey("http://site.com/a?b"));
  EXPECT_EQ(entryHost("HTTPS://Docs.Site.com/guide/"), "docs.site.com");
  EXPECT_EQ(entryHost("ftp://site.com/"), "");
  EXPECT_EQ(robotsUrlOf("https://site.com:8443/a/b?c"), "https://site.com:8443/robots.txt");
  EXPECT_EQ(pathAndQuery("http://site.com/a/b?c=D"), "/a/b?c=D");
  EXPECT_EQ(pathAndQuery("http://site.com?q"), "?q");
}

TEST_F(StandardLinks, WhatThePageOffers) {
  const std::string base = "http://site.com/dir/page.html";
  struct Case {
    const char* page;
    Links links;
  } cases[] = {
      {R"(<a href="one.html">1</a><AREA HREF=two.html><frame src='three.html'>
          <iframe src="four.html"></iframe><img src="no.png"><link href="no.css">)",
       {"http://site.com/dir/one.html", "http://site.com/dir/two.html",
        "http://site.com/dir/three.html", "http://site.com/dir/four.html"}},
      {R"(<a href="a.html?x=1&amp;y=2">&amp;</a><a href="b&#46;html">)",
       {"http://site.com/dir/a.html?x=1&y=2", "http://site.com/dir/b.html"}},
      {R"(<!-- <a href="comment.html"> --><script>var s='<a href="script.html">';</script>
          <style>a{} /* <a href="style.html"> */</style><a href="real.html">)",
       {"http://site.com/dir/real.html"}},
      {R"(<a href="early.html"><head><base href="/other/"></head><a href="late.html">)",
       {"http://site.com/other/early.html", "http://site.com/other/late.html"}},
      {R"(<base href="http://elsewhere.com/"><a href="x.html"><a href="http://site.com/y">)",
       {"http://site.com/y"}},
      {R"(<a href="http://SITE.com/Case"><a href="https://site.com/s"><a href="http://other.com/">
          <a href="mailto:a@site.com"><a>no href</a><a href="">)",
       {"http://site.com/Case", "https://site.com/s", "http://site.com/dir/page.html"}},
      {"<a href=\"\x01\x02junk\xff\xfe\"><a href=\"%zz\"><a href=\"http://\xe4\xbe\x8b.com/\">",
       {"http://site.com/dir/%zz"}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(readStandardLinks(c.page, base, "site.com"), c.links) << c.page;
}

TEST_F(StandardLinks, EachPageIsQueuedOnceInAnySpelling) {
  StandardCrawl crawl;
  ASSERT_TRUE(crawl.startSite("http://Site.com/docs/index.html"));
  EXPECT_EQ(crawl.host(), "site.com");
  std::string page;
  for (int i = 0; i < 10000; ++i)
    page += i % 2 ? "<a href='index.html#n" + std::to_string(i) + "'>"
                  : "<a href='./../docs/./index.html'>";
  page += "<a href='https://site.com/docs/index.html'><a href='index.HTML'><a href='index.html?'>";
  crawl.readLinks(page, "http://site.com/docs/index.html");
  EXPECT_EQ(std::vector(crawl.entries().begin(), crawl.entries().end()),
            (Links{"http://site.com/docs/index.html", "http://site.com/docs/index.HTML"}));
  while (crawl.hasEntries()) crawl.popFront();
  // A later site already reached in this search is not queued again.
  EXPECT_TRUE(crawl.startSite("https://site.com/docs/index.html"));
  EXPECT_FALSE(crawl.hasEntries());
  EXPECT_FALSE(crawl.startSite("site.com/docs"));
}

TEST_F(StandardLinks, EmptyAndCutPages) {
  EXPECT_TRUE(readStandardLinks("", "http://site.com/", "site.com").empty());
  EXPECT_EQ(readStandardLinks("<a href=x", "http://site.com/", "site.com"),
            Links{"http://site.com/x"});
}

}  // namespace
}  // namespace quexa
