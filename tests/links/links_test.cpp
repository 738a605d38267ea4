#include "match/links.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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

}  // namespace
}  // namespace quexa
