// The link rules. Classic: host names, which links a page gives and how they
// are queued, and the crawl's queue and visited list over the sites of a
// search. Standard: one spelling per address, links read as an HTML parser
// reads them and resolved as RFC 3986 resolves them, the site's scope and the
// exact visited set.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "match/crawl_state.h"
#include "match/links.h"
#include "match/standard_crawl.h"
#include "match/standard_links.h"
#include "net/curl_fetcher.h"
#include "net/url.h"
#include "support/counting_pump.h"

namespace quexa {
namespace {

std::vector<std::string> queuedFrom(const std::string& page,
                                    const std::string& hostName = "www.site.com") {
  LinkQueue queue;
  VisitedIndex visited;
  NullPump pump;
  extractLinks(page, hostName, queue, visited, pump);
  std::vector<std::string> links;
  while (queue.hasEntries()) links.push_back(queue.popFront());
  return links;
}

using Links = std::vector<std::string>;
using namespace std::string_literals;

TEST(HostName, DropsSchemeAndKeepsPartBeforeFirstSlash) {
  EXPECT_EQ(hostNameOf("http://www.site.com/dir/page.html"), "www.site.com");
  EXPECT_EQ(hostNameOf("http://www.site.com"), "www.site.com");
  EXPECT_EQ(hostNameOf("http://WWW.Site.com/"), "WWW.Site.com");
  // An https entry's host is its authority; otherwise seven characters go.
  EXPECT_EQ(hostNameOf("https://www.site.com/x"), "www.site.com");
  EXPECT_EQ(hostNameOf("HTTPS://Www.site.com"), "Www.site.com");
  EXPECT_EQ(hostNameOf("ftp://www.site.com/x"), "ww.site.com");
  EXPECT_EQ(hostNameOf("http:/"), "");
}

TEST(ResolveLink, AcceptRules) {
  const std::string host = "www.site.com";
  EXPECT_EQ(resolveLink("/a/b.html", host), "http://www.site.com/a/b.html");
  EXPECT_EQ(resolveLink("b.html", host), "http://www.site.com/b.html");
  EXPECT_EQ(resolveLink("", host), "http://www.site.com/");
  EXPECT_EQ(resolveLink("http://www.site.com/p", host), "http://www.site.com/p");
  EXPECT_EQ(resolveLink("http://other.com/p", host), std::nullopt);
  // The host may stand anywhere in an absolute link.
  EXPECT_EQ(resolveLink("http://other.com/?www.site.com", host), "http://other.com/?www.site.com");
  EXPECT_EQ(resolveLink("https://www.site.com/p", host), std::nullopt);
  EXPECT_EQ(resolveLink("/go?to=http://www.site.com/", host), std::nullopt);
  EXPECT_EQ(resolveLink("mailto:me@site.com", host), std::nullopt);
  // Other schemes without "http" or "@" end up under the host.
  EXPECT_EQ(resolveLink("ftp://files.site.com/x", host),
            "http://www.site.com/ftp://files.site.com/x");
}

TEST(ExtractLinks, WhatIsQueuedFromAPage) {
  struct Case {
    const char* why;
    std::string page;
    Links queued;
    const char* host = "www.site.com";
  };
  const Case cases[] = {
      {"quoted links resolve against the host alone",
       "<a href=\"/dir/a.html\">A</a> <a href=\"b.html\">B</a>",
       {"http://www.site.com/dir/a.html", "http://www.site.com/b.html"}},
      {"mail, other hosts and other schemes are dropped",
       "<a href=\"mailto:me@site.com\">m</a><a href=\"http://other.com/x.html\">o</a>"
       "<a href=\"http://www.site.com/x.html\">own</a><a href=\"https://www.site.com/s.html\">s</a>"
       "<a href=\"/redirect?u=http://www.site.com/\">r</a>",
       {"http://www.site.com/x.html"}},
      {"capitals are queued in lower case",
       "<A HREF=\"/Dir/Page.HTML\">x</A>",
       {"http://www.site.com/dir/page.html"}},
      {"a host with capitals yields no absolute links",
       "<a href=\"http://www.Site.com/a.html\">a</a><a href=\"/b.html\">b</a>",
       {"http://www.Site.com/b.html"},
       "www.Site.com"},
      {"the same link twice and prefixes of queued links are queued once",
       "<a href=\"/dir/page.html\">1</a><a href=\"/dir/page.html\">2</a>"
       "<a href=\"/dir/pa\">3</a><a href=\"/dir/page.html2\">4</a>",
       {"http://www.site.com/dir/page.html", "http://www.site.com/dir/page.html2"}},
      {"an unquoted link loses its first character",
       "<a href=page.html>x</a> <a href=\"q.html\">y</a>",
       {"http://www.site.com/age.html", "http://www.site.com/q.html"}},
      {"the skipped character is a whole letter, not a byte of it",
       "<a href=\xC3\x89t\xC3\xA9.html\">x</a>",
       {"http://www.site.com/t\xC3\xA9.html"}},
      {"a greater sign before the quote ends the link",
       "<a href='/a.html'>x</a><a href='/b.html'>y</a> \"end\"",
       {"http://www.site.com/a.html'", "http://www.site.com/b.html'"}},
      {"without any quote the link is the whole rest and the search goes on inside it",
       "<a href=xone.html>1</a><a href=xtwo.html>2</a>",
       {"http://www.site.com/one.html>1</a><a href=xtwo.html>2</a>",
        "http://www.site.com/two.html>2</a>"}},
      {"a quoted link whose closing quote is missing",
       "<a href=\"/a.html>more text",
       {"http://www.site.com/a.html>more text"}},
      {"href at the very end yields the host itself", "text href=", {"http://www.site.com/"}},
      {"an opening quote at the very end", "text href=\"", {"http://www.site.com/"}},
      {"an empty link", "<a href=\"\">empty</a>", {"http://www.site.com/"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(queuedFrom(c.page, c.host), c.queued);
  }
}

TEST(ExtractLinks, PumpsTwiceForEveryHref) {
  LinkQueue queue;
  VisitedIndex visited;
  test::CountingPump pump;
  extractLinks("<a href=\"/a\"> <a href=\"/a\"> <a href=\"mailto:x@y\">", "h", queue, visited,
               pump);
  EXPECT_EQ(pump.count, 6);
  extractLinks("no links here", "h", queue, visited, pump);
  EXPECT_EQ(pump.count, 6);
}

TEST(ExtractLinks, LongUnclosedLinksAreDroppedButLaterOnesStillCount) {
  std::string page = "<a href=x/first";
  page += std::string(kLongestUnclosedLink, 'x');
  page += " <a href=x/last";
  EXPECT_EQ(queuedFrom(page), (Links{"http://www.site.com/last"}));
  // Up to the limit the whole rest is kept.
  std::string fits = "href=\"" + std::string(kLongestUnclosedLink, 'y');
  EXPECT_EQ(queuedFrom(fits), (Links{"http://www.site.com/" + fits.substr(6)}));
}

TEST(ExtractLinksPathological, MegabyteOfHrefsWithoutQuotes) {
  std::string page;
  for (int i = 0; i < 200000; ++i) page += "href=";
  // Every second "href=" loses its "h" as the skipped character; every later
  // link is a shorter copy of the first one kept, so it counts as visited.
  const size_t firstKept = 997956;
  ASSERT_LE(page.size() - firstKept, kLongestUnclosedLink);
  ASSERT_GT(page.size() - (firstKept - 10), kLongestUnclosedLink);
  EXPECT_EQ(queuedFrom(page), (Links{"http://www.site.com/" + page.substr(firstKept)}));
}

TEST(ExtractLinksPathological, PagesWithoutQuotesNulBytesOrManyLinks) {
  EXPECT_TRUE(queuedFrom(std::string(1 << 20, 'a')).empty());

  std::string unquoted;
  while (unquoted.size() < (1 << 20)) unquoted += "<p>Some text <a href=xpage.html>page</a></p>\n";
  Links links = queuedFrom(unquoted);
  EXPECT_FALSE(links.empty());
  for (const std::string& link : links)
    EXPECT_LE(link.size(), kLongestUnclosedLink + std::string("http://www.site.com/").size());

  EXPECT_EQ(queuedFrom("<a href=\"/a\0b\">\0\0href=\"/c\""s),
            (Links{"http://www.site.com/a\0b"s, "http://www.site.com/c"}));

  std::string many;
  for (int i = 0; i < 10000; ++i) many += "<a href=\"/p" + std::to_string(i) + "x\">l</a>";
  EXPECT_EQ(queuedFrom(many).size(), 10000u);
}

Links drain(CrawlState& crawl) {
  Links links;
  while (crawl.hasEntries()) links.push_back(crawl.popFront());
  return links;
}

TEST(CrawlState, QueueIsFirstInFirstOut) {
  CrawlState crawl;
  NullPump pump;
  crawl.startSite("http://www.site.com");
  EXPECT_EQ(crawl.front(), "http://www.site.com");
  EXPECT_EQ(crawl.popFront(), "http://www.site.com");
  crawl.extractLinks("<a href=\"/b\">b</a><a href=\"/a\">a</a>", "www.site.com", pump);
  crawl.extractLinks("<a href=\"/c\">c</a><a href=\"/a\">a</a>", "www.site.com", pump);
  EXPECT_EQ(drain(crawl),
            (Links{"http://www.site.com/b", "http://www.site.com/a", "http://www.site.com/c"}));
  EXPECT_FALSE(crawl.hasEntries());
  // The site's own address is queued even when it was visited.
  crawl.startSite("http://www.site.com/b");
  EXPECT_EQ(drain(crawl), Links{"http://www.site.com/b"});
  EXPECT_TRUE(crawl.visitedList.text().ends_with("/c http://www.site.com/b "));
}

TEST(CrawlState, AFullQueueNeitherQueuesNorVisitsAndDroppedEntriesDoNotFillIt) {
  CrawlState crawl;
  NullPump pump;
  crawl.startSite("http://h/");
  crawl.popFront();
  crawl.linkQueue.setReach(2);
  crawl.extractLinks("<a href=\"/a.gif\"> <a href=\"/b\"> <a href=\"/c\"> <a href=\"/d\">", "h",
                     pump);
  EXPECT_TRUE(crawl.linkQueue.isFull());
  EXPECT_EQ(crawl.visitedList.text(), "http://h/ http://h/a.gif http://h/b http://h/c ");
  // Taking an entry makes room for one more; the unqueued /d was never visited.
  EXPECT_EQ(crawl.popFront(), "http://h/a.gif");
  EXPECT_TRUE(crawl.linkQueue.isFull());
  EXPECT_EQ(crawl.popFront(), "http://h/b");
  crawl.extractLinks("<a href=\"/d\"> <a href=\"/e\">", "h", pump);
  EXPECT_EQ(drain(crawl), (Links{"http://h/c", "http://h/d"}));
  EXPECT_EQ(queueReach(-5), 0u);
}

TEST(CrawlState, VisitedListOutlivesTheSite) {
  CrawlState crawl;
  NullPump pump;
  const std::string page =
      "<a href=\"http://www.one.com/shared.html\">x</a>"
      "<a href=\"/own.html\">y</a>";
  crawl.startSite("http://www.one.com");
  crawl.popFront();
  crawl.extractLinks(page, hostNameOf("http://www.one.com"), pump);
  EXPECT_EQ(drain(crawl), (Links{"http://www.one.com/shared.html", "http://www.one.com/own.html"}));

  // A later site of the same search finds both links visited already, and
  // a prefix of them as well.
  crawl.startSite("http://www.one.com/other/");
  EXPECT_EQ(crawl.popFront(), "http://www.one.com/other/");
  crawl.extractLinks(page, hostNameOf("http://www.one.com/other/"), pump);
  crawl.extractLinks("<a href=\"http://www.one.com/own\">", "www.one.com", pump);
  EXPECT_FALSE(crawl.hasEntries());
  // A moved visited list still answers, for long entries too.
  crawl.visitedList.add("http://a/" + std::string(100, 'l'));
  const VisitedIndex moved = std::move(crawl.visitedList);
  EXPECT_TRUE(moved.contains("http://www.one.com/sh"));
  EXPECT_TRUE(moved.contains("http://a/lll"));
  EXPECT_FALSE(moved.contains("http://www.one.com/x"));
}

TEST(SkippedQueueEntry, HtmlRemainsAndFilesThatAreNoPages) {
  for (const char* url :
       {"http://h/x.html\"><IMG src", "http://h/a</center>", "http://h/a</TABLE", "http://h/</form",
        "http://h/bin/run.CGI?x", "http://h/a.zip", "http://h/logo.Gif", "http://h/setup.exe",
        "http://h/page.html#top", "http://h/page.htm#top", "http://h/<input"})
    EXPECT_TRUE(isSkippedQueueEntry(url)) << url;
  for (const char* url : {"http://h/", "http://h/page.html", "http://h/page.htm", "http://h/#top",
                          "http://h/gif.html", "http://h/table"})
    EXPECT_FALSE(isSkippedQueueEntry(url)) << url;
}

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
  // Resolutions are remembered: the same link from other bases must still
  // resolve against each base.
  const char* const bases[][2] = {{"http://site.com/a/x.html", "http://site.com/a/"},
                                  {"http://site.com/b/x.html?q", "http://site.com/b/"},
                                  {"https://other.com/b/", "https://other.com/b/"}};
  for (const auto& [base, directory] : bases) {
    EXPECT_EQ(resolveUrl(base, "p.html"), std::string(directory) + "p.html");
    EXPECT_EQ(resolveUrl(base, "/p.html").value_or("").find(directory), std::string::npos);
    EXPECT_EQ(resolveUrl(base, "//x.com/p"),
              std::string(base).substr(0, base[4] == 's' ? 6 : 5) + "//x.com/p");
  }
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

// The parser reads the page without its text and the attributes of tags that
// hold no link when that cannot change what it reads; markup it might read
// otherwise makes it read the whole page.
TEST_F(StandardLinks, TheParserIsGivenWhatDecidesTheLinks) {
  EXPECT_EQ(
      markupOnly("<p>Hello <b>world</b>\n</p><br/> <!-- a > b --> <!DOCTYPE html PUBLIC \"x\">"),
      "<p>.<b>.</b>\n</p><br/> <!-- a > b --> <!DOCTYPE html PUBLIC \"x\">");
  EXPECT_EQ(markupOnly("<SCRIPT type=x>if (a<b) x='>';</SCRIPT >text a < b c"),
            "<SCRIPT></SCRIPT >.< b c");
  // An unquoted value takes a "/" before ">": <div id=d/> is no empty element.
  EXPECT_EQ(
      markupOnly("<a title='x>y' href=b.html class = \"c\" hidden/>x<div id=d/><Base\nhref=/>"),
      "<a title='x>y' href=b.html class = \"c\" hidden/>.<div><Base\nhref=/>");
  for (const char* page :
       {"<a title=x\"y>", "<a href='x'", "\v<a href=x>", "\xEF\xBF\xBE", "<!-- open", "<!-->",
        "<!--->", "<!-- a --!> b -->", "</a title=\"x\">", "<![CDATA[x]]>", "<a @click=x>",
        "<script>x='</p>'</script>", "<style>", "<? x", "</ x>", "bad \xff byte", "nul\0<a>"})
    EXPECT_EQ(markupOnly(std::string_view(page, std::strlen(page) + (page[0] == 'n' ? 4 : 0))),
              std::nullopt)
        << page;
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
