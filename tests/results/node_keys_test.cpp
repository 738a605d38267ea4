#include "results/node_keys.h"

#include <gtest/gtest.h>

namespace quexa {
namespace {

TEST(SiteNodes, IndexSiteAndPageNodes) {
  NodeSpec index = indexNode("My Sites");
  EXPECT_FALSE(index.parentKey.has_value());
  EXPECT_EQ(index.key, "My Sites\\");
  EXPECT_EQ(index.text, "My Sites");
  EXPECT_EQ(index.image, "closed");
  EXPECT_EQ(index.expandedImage, "open");

  NodeSpec site = siteNode("My Sites", "http://a.com");
  EXPECT_EQ(site.parentKey, "My Sites\\");
  EXPECT_EQ(site.key, "http://a.com");
  EXPECT_EQ(site.text, "http://a.com");
  EXPECT_EQ(site.image, "closed");
  EXPECT_FALSE(site.expandedImage.has_value());

  // The third page: the word Yahoo, a blank, the digit 3 and the URL.
  NodeSpec page = pageNode("http://a.com", 3, "http://a.com/p.html", "http://a.com/p.html", false);
  EXPECT_EQ(page.parentKey, "http://a.com");
  EXPECT_EQ(page.key, "Yahoo 3http://a.com/p.html");
  EXPECT_EQ(page.text, "http://a.com/p.html");
  EXPECT_EQ(page.image, "leaf");
  EXPECT_FALSE(page.expandedImage.has_value());
}

TEST(SiteNodes, ServerErrorMarksTheTextNotTheKey) {
  NodeSpec page = pageNode("I\\", 1, "http://down/", "http://down/", true);
  EXPECT_EQ(page.key, "Yahoo 1http://down/");
  EXPECT_EQ(page.text, "http://down/ (Server Error)");
}

TEST(LinkedPages, SlashAppendedToTheSitesOwnPage) {
  EXPECT_EQ(linkedPageUrl("http://a.com", "http://a.com"), "http://a.com/");
  EXPECT_EQ(linkedPageUrl("http://a.com ", " http://a.com"), "http://a.com /");
  EXPECT_EQ(linkedPageUrl("http://a.com/x", "http://a.com"), "http://a.com/x");
  EXPECT_EQ(linkedPageUrl("http://a.com/", "http://a.com/"), "http://a.com//");
}

TEST(LinkedPages, TextFromWhereTheSiteUrlOccurs) {
  EXPECT_EQ(linkedPageText("http://a.com/x", "http://a.com"), "http://a.com/x");
  EXPECT_EQ(linkedPageText("http://www.a.com/x", "a.com"), "a.com/x");
  EXPECT_EQ(linkedPageText("http://b.org/y", "http://a.com"), "http://b.org/y");
}

TEST(EngineNodes, TableAndKeys) {
  ASSERT_EQ(kEngineNodeNames.size(), 5u);
  EXPECT_EQ(kEngineNodeNames[0].headingText, "Yahoo!");
  EXPECT_EQ(kEngineNodeNames[0].nodeText, "Yahoo");
  EXPECT_EQ(kEngineNodeNames[2].nodeText, "InfoSeek");
  const EngineNodeNames& altaVista = kEngineNodeNames[4];
  EXPECT_EQ(altaVista.nodeText, "AltaVista");
  EXPECT_EQ(altaVista.headingText, "AltaVista");

  NodeSpec root = engineNode(altaVista);
  EXPECT_FALSE(root.parentKey.has_value());
  EXPECT_EQ(root.key, "AltaVista\\");
  EXPECT_EQ(root.text, "AltaVista");
  EXPECT_EQ(root.expandedImage, "open");

  // AltaVista's leaf keys use a lower-case v; the text starts with a blank.
  NodeSpec hit = hitNode(altaVista, 3, "http://h.com/", "Some Title");
  EXPECT_EQ(hit.parentKey, "AltaVista\\");
  EXPECT_EQ(hit.key, "Altavista 3http://h.com/");
  EXPECT_EQ(hit.text, " 3. Some Title");
  EXPECT_EQ(hit.image, "leaf");
  EXPECT_EQ(hitNode(kEngineNodeNames[0], 12, "http://y/", "T").key, "Yahoo 12http://y/");
}

TEST(NodeKeys, NoPrefixHoldsHttp) {
  for (const EngineNodeNames& engine : kEngineNodeNames) {
    EXPECT_EQ(urlFromNodeKey(hitNodeKey(engine, 7, "http://x.com/a")), "http://x.com/a");
  }
  EXPECT_EQ(urlFromNodeKey(pageNodeKey(1, "http://x.com/")), "http://x.com/");
}

TEST(UrlFromNodeKey, LowerCasedFromTheFirstHttp) {
  EXPECT_EQ(urlFromNodeKey("Yahoo 3HTTP://Www.A.com/Page.HTML"), "http://www.a.com/page.html");
  EXPECT_EQ(urlFromNodeKey("Lycos 2http://a/?q=http"), "http://a/?q=http");
  // An index node key holds no "http": the whole lower-cased key.
  EXPECT_EQ(urlFromNodeKey(indexNodeKey("My Sites")), "my sites\\");
  EXPECT_EQ(urlFromNodeKey(""), "");
}

}  // namespace
}  // namespace quexa
