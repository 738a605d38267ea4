#include "match/crawl_state.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "match/links.h"

namespace quexa {
namespace {

using Links = std::vector<std::string>;

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

}  // namespace
}  // namespace quexa
