// The engines' result pages: which links are hits and what their texts are,
// engine by engine; which engine a node key names and each engine's rules for
// splitting a hit's text; and the store the hits are kept and looked up in.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "net/fetcher.h"
#include "search/engines/hit_detail.h"
#include "search/engines/hit_store.h"
#include "search/engines/result_parser.h"
#include "support/counting_pump.h"

namespace quexa {
namespace {

// Runs the result-page parser the way the engine search does: every listed
// hit goes into the hit store before the next link is examined.
struct ParserRun {
  EngineHitStore store;
  EngineProgress progress;
  std::vector<ParsedHit> hits;
  int examined = 0;
  test::CountingPump pump;
  int stopAfterLinks = -1;  // linkExamined answers false from this link on
  PageOutcome outcome;      // of the page given at construction

  ParserRun() = default;
  ParserRun(Engine engine, std::string_view page) { outcome = parse(engine, page); }

  PageOutcome parse(Engine engine, std::string_view page) {
    PageListener listener;
    listener.listHit = [this](const ParsedHit& hit) {
      hits.push_back(hit);
      store.appendUrl(hit.url);
      store.appendBlock(hit.rawBlock);
    };
    listener.linkExamined = [this] {
      ++examined;
      return stopAfterLinks < 0 || examined < stopAfterLinks;
    };
    return parseResultPage(engine, page, store, progress, listener, pump);
  }

  std::vector<std::string> urls() const {
    std::vector<std::string> out;
    for (const ParsedHit& h : hits) out.push_back(h.url);
    return out;
  }
};
using ::testing::ElementsAre;

// A hit's title, description and node title, in that order.
std::vector<std::string> textsOf(const ParsedHit& hit) {
  return {hit.title, hit.description, hit.nodeTitle};
}

constexpr std::string_view kYahooPage =
    R"(<html><head><title>Yahoo! Search Results</title></head><body>
<a href="http://www.yahoo.com/"><img src="logo.gif"></a>
<UL>
<LI><A HREF="http://www.Apple.com/">Apple <b>Computer</b></A> - makers of the Macintosh.<br>
<LI><A HREF="http://www.fruit.org/apples.html">All about <B>apples</B></A>
<LI><A HREF="http://www.pie.com/">Pie</A> 
</UL>
<a href="http://search.yahoo.com/bin/search?p=apple&b=21">Next 20 Matches</a>
<a href="http://www.end.com/">End</a></body></html>)";

TEST(YahooPage, HitsWithTitlesDescriptionsAndNodeTitles) {
  ParserRun run(Engine::Yahoo, kYahooPage);
  ASSERT_THAT(run.urls(), ElementsAre("http://www.apple.com/", "http://www.fruit.org/apples.html",
                                      "http://www.pie.com/"));
  EXPECT_EQ(run.outcome.hitsOnPage, 3);
  EXPECT_FALSE(run.outcome.endedByListener);
  EXPECT_EQ(run.progress.acceptedHits, 3);
  EXPECT_TRUE(run.progress.moreResults);
  // Yahoo's own links and the last link (no "<a" after it) are examined too.
  EXPECT_EQ(run.examined, 6);
  EXPECT_EQ(run.pump.count, 6);

  const ParsedHit& apple = run.hits[0];
  EXPECT_EQ(apple.rawBlock, "Apple <b>Computer</b></A> - makers of the Macintosh.<br>\n<LI>");
  EXPECT_THAT(textsOf(apple),
              ElementsAre("Apple Computer", "- makers of the Macintosh.", "Apple Computer"));
  EXPECT_TRUE(apple.hasDocumentEntry);

  // A lone line break is replaced; a blank and a line break is not.
  EXPECT_THAT(textsOf(run.hits[1]),
              ElementsAre("All about apples", "No Short Description!", "All about apples"));
  EXPECT_EQ(run.hits[2].description, "\n");

  EXPECT_EQ(run.store.text(),
            "http://www.apple.com/ Apple <b>Computer</b></A> - makers of the Macintosh.<br>\n"
            "<LI></BO>http://www.fruit.org/apples.html All about <B>apples</B></A>\n<LI></BO>"
            "http://www.pie.com/ Pie</A> \n</UL>\n</BO>");
}

TEST(PageWithoutHits, YieldsNothingAndWithoutLinksIsTheLastPageAndDuplicatesAreDropped) {
  for (std::string_view page : {std::string_view(""), std::string_view("<html>no links</html>")}) {
    ParserRun run(Engine::Excite, page);
    EXPECT_EQ(run.outcome.hitsOnPage, 0);
    EXPECT_FALSE(run.progress.moreResults);
    EXPECT_EQ(run.examined, 0);
  }
  // The engines' own links are never listed, on any engine's page.
  constexpr std::string_view page = R"(<a href="http://www.yahoo.com/more">m</a>
<a href="http://home.lycos.com/">l</a><a href="http://www.infoseek.com/x">i</a>
<a href="http://www.excite.com/">e</a><a href="http://www.altavista.com/">a</a>
<a href="http://search.Yahoo.com/">y</a>)";
  for (Engine e : kEngineOrder) {
    ParserRun run(e, page);
    EXPECT_EQ(run.outcome.hitsOnPage, 0);
    EXPECT_EQ(run.progress.acceptedHits, 0);
    EXPECT_EQ(run.examined, 6);
  }
  // A link without its end is taken for an engine link.
  ParserRun open;
  EXPECT_EQ(open.parse(Engine::Excite, "<a href=\"http://www.open.com/ > never closed").hitsOnPage,
            0);
  EXPECT_EQ(open.examined, 1);
  EXPECT_EQ(open.store.text(), "");
  // AltaVista's last link without a tag after it lowers the count.
  ParserRun last;
  EXPECT_EQ(last.parse(Engine::AltaVista, R"(<a href="http://www.z.com/">Zed, the end)").hitsOnPage,
            0);
  EXPECT_EQ(last.progress.acceptedHits, -1);

  // Duplicates within a page, across engines and by leading parts: after
  // Yahoo!'s page, Lycos returns Apple again, and a site's home page after its inner page.
  constexpr std::string_view lycos =
      R"(<p><a href="http://www.apple.com/"><b>Apple</b></a><br>again<br>http://x
<p><a href="http://www.fruit.org/"><b>Fruit</b></a><br>home<br>http://www.fruit.org/
<p><a href="http://www.new.com/"><b>New</b></a><br>fresh<br>http://www.new.com/
<p><a href="http://www.new.com/"><b>New</b></a><br>fresh<br>http://www.new.com/
<a href="http://www.lycos.com/">)";
  ParserRun run(Engine::Yahoo, kYahooPage);
  run.progress = {};
  EXPECT_EQ(run.parse(Engine::Lycos, lycos).hitsOnPage, 1);
  EXPECT_EQ(run.hits.back().url, "http://www.new.com/");
  EXPECT_EQ(run.progress.acceptedHits, 1);
}

// Anchors with line breaks, escapes, pictures or markup are rejected.
TEST(LinkLocation, BadAnchorsRejectedRelativeLinksPassedOverTagsCutAndTheListenerEnds) {
  constexpr std::string_view rejected = R"(<a href="http://www.nl.com/"> 
Newline</a>
<a href="http://www.cr.com/">)"
                                        "\r"
                                        R"(Return</a>
<a href="http://www.x.com/a%20b.html">Escaped</a>
<a href="http://www.x.com/pic.gif">Picture</a>
<a href="http://www.form.com/">Go</form></a>
<a href="http://www.ok.com/">OK</a>
<a href="http://www.img.com/"><IMG SRC="http://www.img.com/b.jpg"></a>
<a href="http://www.tab.com/">Tab</table></a>
<a href="http://www.cen.com/">Cen</center></a>
<a href="http://www.inp.com/">In<input type=submit></a>
<a href="http://www.y.com/">end</a>)";
  ParserRun anchors(Engine::Yahoo, rejected);
  EXPECT_THAT(anchors.urls(), ElementsAre("http://www.ok.com/"));
  EXPECT_EQ(anchors.progress.acceptedHits, 1);
  // The relative link's search finds the next quoted absolute link, so the
  // absolute link is examined once, on behalf of the relative one.
  constexpr std::string_view page =
      R"(<a href="/local.html">Local</a> <a href="http://www.abs.com/">Abs</a>
<a href="http://www.cut.com/<b>Cut</b></a> text <a>)";
  ParserRun run(Engine::Yahoo, page);
  EXPECT_THAT(run.urls(), ElementsAre("http://www.abs.com/", "http://www.cut.com/"));
  EXPECT_EQ(run.examined, 2);
  EXPECT_EQ(run.hits[1].title, ">Cut</b>");
  // A relative link with no absolute link after it is never a hit: left as
  // it is, "ref=" would pass every test and be listed once a search.
  constexpr std::string_view relativeOnly =
      R"(<a href="http://www.a.com/">A</a> <a href="/help">Help</a> <a href="/about">About</a> <a)";
  ParserRun yahoo(Engine::Yahoo, relativeOnly);
  EXPECT_THAT(yahoo.urls(), ElementsAre("http://www.a.com/"));
  EXPECT_EQ(yahoo.examined, 3);
  ParserRun altaVista(Engine::AltaVista, relativeOnly);
  EXPECT_EQ(altaVista.progress.acceptedHits, 1);
  // The listener ends the page after any link.
  ParserRun stopped;
  stopped.stopAfterLinks = 2;
  EXPECT_TRUE(stopped.parse(Engine::Yahoo, kYahooPage).endedByListener);
  EXPECT_EQ(stopped.examined, 2);
  EXPECT_THAT(stopped.urls(), ElementsAre("http://www.apple.com/"));
}

constexpr std::string_view kLycosPage = R"(<html><body>
<a href="http://www.lycos.com/help/">Help</a>
<B>Web Sites</B>
<p><a href="http://www.apple.com/"><b>Apple</b> Home</a><br>Apple's official site.<br>http://www.apple.com/ <br>
<p><a href="http://www.pomme.fr/">le <B>Pomme</B></a><BR>French apples<BR>http://www.pomme.fr/
<p><a href="http://www.store.com/">Store</a> - <a href="http://www.lycos.com/shop/">shop</a><br>http://www.store.com/
<p><a href="http://www.last.com/">Last</a> final<br><a href="next.html">more</a>
</body></html>)";

TEST(LycosPage, BlocksEndAtBrHttpAndStartAtBold) {
  ParserRun run(Engine::Lycos, kLycosPage);
  ASSERT_THAT(run.urls(), ElementsAre("http://www.apple.com/", "http://www.pomme.fr/"));
  EXPECT_EQ(run.outcome.hitsOnPage, 2);
  // Last is counted although no "<br>http" follows it to end its block.
  EXPECT_EQ(run.progress.acceptedHits, 3);

  EXPECT_EQ(run.hits[0].rawBlock, "<b>Apple</b> Home</a><br>Apple's official site.");
  EXPECT_THAT(textsOf(run.hits[0]),
              ElementsAre("Apple Home", "Apple's official site.", "Apple Home"));

  EXPECT_EQ(run.hits[1].rawBlock, "<B>Pomme</B></a><BR>French apples");
  EXPECT_THAT(textsOf(run.hits[1]), ElementsAre("Pomme", "French apples", "Pomme"));
}

TEST(InfoSeekAndExcitePages, NoLineBreakNoDocumentEntryCapitalMarkupAndEmptyDescription) {
  constexpr std::string_view page = R"(<a href="http://www.infoseek.com/Help">Help</a>
<b><a href="http://www.apple.com/">Apple Computer</a></b><br>
Makers of the Mac.<br>
<FONT SIZE=-1>http://www.apple.com/</font><p>
<b><a href="http://www.oneline.com/">One <b>line</a></b> no break here <font size=-1>x</font>
<a href="http://www.infoseek.com/Titles?qt=apple&st=11">Next</a>)";
  ParserRun run(Engine::InfoSeek, page);
  ASSERT_THAT(run.urls(), ElementsAre("http://www.apple.com/", "http://www.oneline.com/"));
  EXPECT_TRUE(run.hits[0].hasDocumentEntry);
  EXPECT_THAT(textsOf(run.hits[0]),
              ElementsAre("Apple Computer", "Makers of the Mac.\n", "Apple Computer"));
  EXPECT_FALSE(run.hits[1].hasDocumentEntry);
  // InfoSeek's node title keeps its markup.
  EXPECT_EQ(run.hits[1].nodeTitle, "One <b>line");
  // Excite: capital markup and an empty description.
  constexpr std::string_view excitePage = R"(<A HREF="http://www.excite.com/">Excite</A>
<B>Results</B><P>
<SMALL><A HREF="http://www.apple.com/">Apple Computer
Inc</A>&NBSP;- The Mac maker.<BR>URL: http://www.apple.com/<P></SMALL>
<A HREF="http://www.bad.com/"><IMG SRC="http://www.bad.com/ad.gif"></A>
<A HREF="http://www.seeds.com/">Seeds</A><P></SMALL>
<A HREF="http://www.excite.com/next">Next</A>)";
  ParserRun excite(Engine::Excite, excitePage);
  ASSERT_THAT(excite.urls(), ElementsAre("http://www.apple.com/", "http://www.seeds.com/"));
  EXPECT_THAT(textsOf(excite.hits[0]),
              ElementsAre("Apple Computer\nInc", "- The Mac maker.", "Apple Computer"));
  EXPECT_EQ(excite.hits[1].title, "Seeds");
  EXPECT_EQ(excite.hits[1].description, "");
}

constexpr std::string_view kAltaVistaPage =
    R"(<a href="http://www.altavista.com/"><img src="av.gif"></a>
<dl><dt><b>1. </b><a href="http://www.apple.com/"><b>Apple</b> Computer</a><dd>Welcome to Apple.<br>URL: www.apple.com/<br>Last modified 3-Mar-98 - in English [ <a href="http://babel.altavista.com/translate?u=x">Translate</a> ]
<dt><b>2. </b><a href="http://www.pear.com/">Pears</a><dd>Pear growers.<br>URL: pear<BR>Size 2K<br>More - IN ENGLISH [ <a href="http://www.pear.com/translate.cgi">Translate</a> ]
<dt><a href="http://www.x.com/%7Eme/">Mine</a> <a href="http://www.plum.com/">Plum</a><dd>Plums.)";

TEST(AltaVistaPage, TranslateLinksAndRejectionsLowerTheCount) {
  ParserRun run(Engine::AltaVista, kAltaVistaPage);
  ASSERT_THAT(run.urls(), ElementsAre("http://www.apple.com/", "http://www.pear.com/"));
  EXPECT_EQ(run.outcome.hitsOnPage, 2);
  // Apple, Pear and Plum (no "- in english" after it) count; the translate
  // link and the escaped URL each take one off.
  EXPECT_EQ(run.progress.acceptedHits, 1);

  EXPECT_THAT(textsOf(run.hits[0]),
              ElementsAre("Apple Computer", "<dd>Welcome to Apple.Last modified 3-Mar-98 ",
                          "Apple Computer"));
  // The span taken out ends at the next lower-case "<br>" only.
  EXPECT_EQ(run.hits[1].description, "<dd>Pear growers.More ");

  // The count goes on from page to page.
  ParserRun next;
  next.progress.acceptedHits = 10;
  next.parse(Engine::AltaVista, kAltaVistaPage);
  EXPECT_EQ(next.progress.acceptedHits, 11);
}

TEST(HitTexts, NodeTitleWithoutEndAnchorTheEngineOfAKeyAndEachEnginesSplit) {
  ParsedHit hit;
  cutHitTexts(engineRow(Engine::Yahoo), "Plain text<br>more", std::nullopt, hit);
  EXPECT_EQ(hit.nodeTitle, "No Title");
  EXPECT_EQ(hit.title, "Plain text");
  EXPECT_EQ(hit.description, "");
  cutHitTexts(engineRow(Engine::Lycos), "<b>Bold</b> only", std::nullopt, hit);
  EXPECT_EQ(hit.nodeTitle, "No Title");
  EXPECT_EQ(hit.title, "Bold only");
  EXPECT_EQ(engineForKey("yahoo 3http://www.a.com/"), Engine::Yahoo);
  EXPECT_EQ(engineForKey("altavista 2http://www.lycos.com/"), Engine::Lycos);
  // Excite is looked for before InfoSeek.
  EXPECT_EQ(engineForKey("infoseek 1http://www.excite.com/"), Engine::Excite);
  EXPECT_EQ(engineForKey("infoseek 1http://www.a.com/"), Engine::InfoSeek);
  EXPECT_EQ(engineForKey("altavista 9http://b/"), Engine::AltaVista);
  EXPECT_EQ(engineForKey("my sites\\"), std::nullopt);
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

TEST(HitStore, FindsUrlsAnywhereAndHitTextIsFirstOccurrenceUpToNextEndMarker) {
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
  // A hit's text is the first occurrence of its URL up to the next end marker.
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
