#include "results/node_keys.h"

#include <gtest/gtest.h>

#include "support/window_events.h"

namespace quexa {
namespace {

using test::nodeLine;

TEST(SiteNodes, IndexSiteAndPageNodes) {
  EXPECT_EQ(nodeLine(indexNode("My Sites")), "-|My Sites\\|My Sites|closed|open");
  EXPECT_EQ(nodeLine(siteNode("My Sites", "http://a.com")),
            "My Sites\\|http://a.com|http://a.com|closed|-");
  // The third page: the word Yahoo, a blank, the digit 3 and the URL.
  EXPECT_EQ(
      nodeLine(pageNode("http://a.com", 3, "http://a.com/p.html", "http://a.com/p.html", false)),
      "http://a.com|Yahoo 3http://a.com/p.html|http://a.com/p.html|leaf|-");
  // A server error marks the text, not the key.
  EXPECT_EQ(nodeLine(pageNode("I\\", 1, "http://down/", "http://down/", true)),
            "I\\|Yahoo 1http://down/|http://down/ (Server Error)|leaf|-");
}

TEST(LinkedPages, SlashAppendedToTheSitesOwnPageAndTextFromWhereTheSiteUrlOccurs) {
  EXPECT_EQ(linkedPageUrl("http://a.com", "http://a.com"), "http://a.com/");
  EXPECT_EQ(linkedPageUrl("http://a.com ", " http://a.com"), "http://a.com /");
  EXPECT_EQ(linkedPageUrl("http://a.com/x", "http://a.com"), "http://a.com/x");
  EXPECT_EQ(linkedPageUrl("http://a.com/", "http://a.com/"), "http://a.com//");
  EXPECT_EQ(linkedPageText("http://a.com/x", "http://a.com"), "http://a.com/x");
  EXPECT_EQ(linkedPageText("http://www.a.com/x", "a.com"), "a.com/x");
  EXPECT_EQ(linkedPageText("http://b.org/y", "http://a.com"), "http://b.org/y");
}

TEST(EngineNodes, RootsAndHits) {
  ASSERT_EQ(kEngineNodeNames.size(), 5u);
  const EngineNodeNames& altaVista = kEngineNodeNames[4];
  EXPECT_EQ(nodeLine(engineNode(altaVista)), "-|AltaVista\\|AltaVista|closed|open");
  // AltaVista's leaf keys use a lower-case v; the text starts with a blank.
  EXPECT_EQ(nodeLine(hitNode(altaVista, 3, "http://h.com/", "Some Title")),
            "AltaVista\\|Altavista 3http://h.com/| 3. Some Title|leaf|-");
  EXPECT_EQ(kEngineNodeNames[0].headingText, "Yahoo!");
  EXPECT_EQ(nodeLine(hitNode(kEngineNodeNames[0], 12, "http://y/", "T")),
            "Yahoo\\|Yahoo 12http://y/| 12. T|leaf|-");
  EXPECT_EQ(kEngineNodeNames[2].nodeText, "InfoSeek");
}

TEST(UrlFromNodeKey, LowerCasedFromTheFirstHttp) {
  // No engine's or page's key prefix holds "http".
  for (const EngineNodeNames& engine : kEngineNodeNames)
    EXPECT_EQ(urlFromNodeKey(hitNodeKey(engine, 7, "http://x.com/a")), "http://x.com/a");
  EXPECT_EQ(urlFromNodeKey(pageNodeKey(1, "http://x.com/")), "http://x.com/");
  EXPECT_EQ(urlFromNodeKey("Yahoo 3HTTP://Www.A.com/Page.HTML"), "http://www.a.com/page.html");
  EXPECT_EQ(urlFromNodeKey("Lycos 2http://a/?q=http"), "http://a/?q=http");
  // The standard link rules view and search a page at its address as resolved.
  EXPECT_EQ(urlFromNodeKey("3http://a.com/Docs/Page.html?Q=1", true),
            "http://a.com/Docs/Page.html?Q=1");
  // An index node key holds no "http": the whole lower-cased key.
  EXPECT_EQ(urlFromNodeKey(indexNodeKey("My Sites")), "my sites\\");
  EXPECT_EQ(urlFromNodeKey(""), "");
}

}  // namespace
}  // namespace quexa
