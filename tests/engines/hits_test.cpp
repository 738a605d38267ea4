// The engine hits: which engine a node key names, each engine's rules for
// splitting a hit's text, and the store the hits are kept and looked up in.
#include <gtest/gtest.h>

#include <string>

#include "search/engines/hit_detail.h"
#include "search/engines/hit_store.h"

namespace quexa {
namespace {

TEST(EngineForKey, FirstWordInFixedOrder) {
  EXPECT_EQ(engineForKey("yahoo 3http://www.a.com/"), Engine::Yahoo);
  EXPECT_EQ(engineForKey("altavista 2http://www.lycos.com/"), Engine::Lycos);
  // Excite is looked for before InfoSeek.
  EXPECT_EQ(engineForKey("infoseek 1http://www.excite.com/"), Engine::Excite);
  EXPECT_EQ(engineForKey("infoseek 1http://www.a.com/"), Engine::InfoSeek);
  EXPECT_EQ(engineForKey("altavista 9http://b/"), Engine::AltaVista);
  EXPECT_EQ(engineForKey("my sites\\"), std::nullopt);
}

TEST(HitDetail, EachEnginesRulesSplitTheHitText) {
  struct Case {
    std::optional<Engine> engine;
    const char* hitText;
    const char* title;  // nullptr: not split, the text is `description`
    const char* description;
  };
  const Case cases[] = {
      {Engine::Yahoo, "Apple <B>Computer</b></A> - Mac maker.<br>\n<LI>", "Apple Computer",
       " - Mac maker."},
      {Engine::Yahoo, "Pie</A>\n</UL>\n", "Pie", "No Short Description!"},
      {Engine::Yahoo, "No anchor end<br>x", "", "No anchor end"},
      {Engine::Lycos, "<B>Pomme</b></a><BR>French<br>apples", "Pomme", "Frenchapples"},
      // Without "<b>" the first two characters go.
      {Engine::Lycos, "xyTitle only", "Title only", ""},
      {Engine::Excite, "Seeds&NBSP;Inc</A> - seeds.<BR>URL: x", "SeedsInc", " - seeds."},
      {Engine::Excite, "Just text", "Just text", ""},
      // InfoSeek joins the title's lines, then splits at the first line break.
      {Engine::InfoSeek, "Apple</A></B><BR>\nMakers.<br>\n", "Apple", "Makers.\n"},
      {Engine::InfoSeek, "One</a> line\rrest", "One line", "rest"},
      {Engine::InfoSeek, "One</a> line only", nullptr, "One line only"},
      // AltaVista takes out the span between breaks; here the second "<br>"
      // is found whatever its case.
      {Engine::AltaVista, "<b>Pears</b></a><dd>Pears.<br>URL: p<BR>Size<br>More", "Pears",
       "<dd>Pears.Size"},
      {Engine::AltaVista, "<b>Plum</a> only<br>one break", "Plum", " onlyone break"},
      {Engine::AltaVista, "..No end", "No end", ""},
      {std::nullopt, "<b>raw</b></a> text", nullptr, "<b>raw</b></a> text"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.hitText);
    const HitDetail d = splitHitText(c.engine, c.hitText);
    EXPECT_EQ(d.split, c.title != nullptr);
    if (c.title) {
      EXPECT_EQ(d.title, c.title);
      EXPECT_EQ(d.description, c.description);
    } else {
      EXPECT_EQ(d.text, c.description);
    }
  }
}

TEST(HitStore, FindsUrlsAnywhereIncludingBlocksAndRecordBoundaries) {
  EngineHitStore store;
  store.appendUrl("http://www.a.com/page.html");
  store.appendBlock("Title</a> see http://www.b.org/ too");
  store.appendUrl("http://www.c.net/");
  store.appendBlock("C");
  EXPECT_TRUE(store.containsText("http://www.a.com/"));  // leading part of a URL
  EXPECT_TRUE(store.containsText("http://www.b.org/"));  // inside a block
  EXPECT_TRUE(store.containsText("http://www.b.org/ too</BO>http://www.c"));
  EXPECT_TRUE(store.containsText("page.html Title"));  // no "http": read plainly
  EXPECT_FALSE(store.containsText("http://www.a.com/page.html2"));
  EXPECT_FALSE(store.containsText("http://www.d.com/"));
  // Long shared beginnings are told apart by their last character.
  const std::string longPrefix = "http://" + std::string(120, 'a');
  store.appendUrl(longPrefix + "b");
  EXPECT_TRUE(store.containsText(longPrefix + "b"));
  EXPECT_FALSE(store.containsText(longPrefix + "c"));
  store.clear();
  EXPECT_FALSE(store.containsText("http://www.a.com/"));
  EXPECT_EQ(store.text(), "");
}

TEST(HitStore, HitTextIsFirstOccurrenceUpToNextEndMarker) {
  EngineHitStore store;
  store.appendUrl("http://www.a.com/x");
  store.appendBlock("  First</a> one");
  store.appendUrl("http://www.a.com/");
  store.appendBlock("Second");
  EXPECT_EQ(store.hitText("http://www.a.com/x"), "First</a> one");
  // The shorter URL first occurs inside the first record.
  EXPECT_EQ(store.hitText("http://www.a.com/"), "x   First</a> one");
  EXPECT_EQ(store.hitText("http://www.none.com/"), "");
  store.appendUrl("http://www.open.com/");
  EXPECT_EQ(store.hitText("http://www.open.com/"), "");
}

}  // namespace
}  // namespace quexa
