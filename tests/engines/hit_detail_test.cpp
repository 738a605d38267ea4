#include "search/engines/hit_detail.h"

#include <gtest/gtest.h>

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

HitDetail detail(Engine e, std::string_view text) {
  return splitHitText(e, text);
}

TEST(HitDetail, YahooRules) {
  HitDetail d = detail(Engine::Yahoo, "Apple <B>Computer</b></A> - Mac maker.<br>\n<LI>");
  EXPECT_TRUE(d.split);
  EXPECT_EQ(d.title, "Apple Computer");
  EXPECT_EQ(d.description, " - Mac maker.");
  d = detail(Engine::Yahoo, "Pie</A>\n</UL>\n");
  EXPECT_EQ(d.title, "Pie");
  EXPECT_EQ(d.description, "No Short Description!");
  d = detail(Engine::Yahoo, "No anchor end<br>x");
  EXPECT_EQ(d.title, "");
  EXPECT_EQ(d.description, "No anchor end");
}

TEST(HitDetail, LycosRules) {
  HitDetail d = detail(Engine::Lycos, "<B>Pomme</b></a><BR>French<br>apples");
  EXPECT_EQ(d.title, "Pomme");
  EXPECT_EQ(d.description, "Frenchapples");
  // Without "<b>" the first two characters go.
  d = detail(Engine::Lycos, "xyTitle only");
  EXPECT_TRUE(d.split);
  EXPECT_EQ(d.title, "Title only");
  EXPECT_EQ(d.description, "");
}

TEST(HitDetail, ExciteRules) {
  HitDetail d = detail(Engine::Excite, "Seeds&NBSP;Inc</A> - seeds.<BR>URL: x");
  EXPECT_EQ(d.title, "SeedsInc");
  EXPECT_EQ(d.description, " - seeds.");
  d = detail(Engine::Excite, "Just text");
  EXPECT_EQ(d.title, "Just text");
  EXPECT_EQ(d.description, "");
}

TEST(HitDetail, InfoSeekJoinsThenSplitsAtLineBreak) {
  HitDetail d = detail(Engine::InfoSeek, "Apple</A></B><BR>\nMakers.<br>\n");
  EXPECT_TRUE(d.split);
  EXPECT_EQ(d.title, "Apple");
  EXPECT_EQ(d.description, "Makers.\n");
  d = detail(Engine::InfoSeek, "One</a> line\rrest");
  EXPECT_EQ(d.title, "One line");
  EXPECT_EQ(d.description, "rest");
  d = detail(Engine::InfoSeek, "One</a> line only");
  EXPECT_FALSE(d.split);
  EXPECT_EQ(d.text, "One line only");
}

TEST(HitDetail, AltaVistaTakesOutTheSpanBetweenBreaks) {
  // Here the second "<br>" is found whatever its case.
  HitDetail d = detail(Engine::AltaVista, "<b>Pears</b></a><dd>Pears.<br>URL: p<BR>Size<br>More");
  EXPECT_EQ(d.title, "Pears");
  EXPECT_EQ(d.description, "<dd>Pears.Size");
  d = detail(Engine::AltaVista, "<b>Plum</a> only<br>one break");
  EXPECT_EQ(d.title, "Plum");
  EXPECT_EQ(d.description, " onlyone break");
  d = detail(Engine::AltaVista, "..No end");
  EXPECT_EQ(d.title, "No end");
}

TEST(HitDetail, WithoutEngineTheTextStays) {
  HitDetail d = splitHitText(std::nullopt, "<b>raw</b></a> text");
  EXPECT_FALSE(d.split);
  EXPECT_EQ(d.text, "<b>raw</b></a> text");
}

}  // namespace
}  // namespace quexa
