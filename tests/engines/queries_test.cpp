// The queries of the built-in engines and of the user engines: search texts,
// connectors, request addresses and hosts; then the user engines' template
// filling and refusals, engine names, the three answer readers with their bad
// answers, and the description document.
#include <gtest/gtest.h>

#include "search/engines/opensearch/description_document.h"
#include "search/engines/opensearch/result_reader.h"
#include "search/engines/opensearch/user_engine.h"
#include "search/engines/queries.h"
#include "support/scratch_dir.h"

namespace quexa {
namespace {

constexpr int32_t A = kConnectorAnd;
constexpr int32_t O = kConnectorOr;
constexpr int32_t N = kConnectorNot;

std::string queryFor(std::array<std::string, 4> texts, std::array<int32_t, 3> connectors,
                     bool optCase = false) {
  MainControls controls;
  controls.searchText = std::move(texts);
  controls.connector = connectors;
  controls.settings.optCase = optCase;
  return buildQueryString(controls);
}

TEST(QueryString, TextsLowerCasedTrimmedPhrasesQuotedAndJoinedByTheirConnectors) {
  EXPECT_EQ(encodeSearchText("New  York City", false), "%22new+york+city%22");
  EXPECT_EQ(encodeSearchText("  Apple ", false), "apple");
  EXPECT_EQ(encodeSearchText("Apple", true), "Apple");
  EXPECT_EQ(encodeSearchText("   ", false), "");
  EXPECT_EQ(encodeSearchText("a&b%c+d#", false), "a&b%c+d#");
  EXPECT_EQ(encodeSearchText("\xC3\x84pfel Baum", false), "%22\xC3\xA4pfel+baum%22");
  // Every connector setting over four terms. The prefix follows a text's own
  // connector even after empty texts; a connector with no button selected
  // empties the whole query.
  struct Row {
    std::array<std::string, 4> terms;
    std::array<int32_t, 3> connectors;
    const char* query;
  };
  const Row rows[] = {
      {{"a", "b", "c", "d"}, {A, A, A}, "%2Ba%2Bb%2Bc%2Bd"},
      {{"a", "b", "c", "d"}, {A, O, N}, "%2Ba%2Bb+c+-+d"},
      {{"a", "b", "c", "d"}, {O, O, O}, "a+b+c+d"},
      {{"a", "b", "c", "d"}, {O, A, N}, "a+b%2Bc+-+d"},
      {{"a", "b", "c", "d"}, {N, A, O}, "%2Ba+-+b%2Bc+d"},
      {{"a", "b", "c", "d"}, {N, N, N}, "%2Ba+-+b+-+c+-+d"},
      {{"a", "b", "c", ""}, {A, N, A}, "%2Ba%2Bb+-+c"},
      {{"", "b", "", ""}, {N, A, A}, "+-+b"},
      {{"", "", "c", ""}, {A, O, A}, "+c"},
      {{"", "", "", ""}, {A, A, A}, ""},
      {{"a", "b", "", ""}, {A, 0, A}, ""},
      {{"a", "", "", ""}, {0, A, A}, ""},
  };
  for (const Row& row : rows) EXPECT_EQ(joinQueryTerms(row.terms, row.connectors), row.query);
  EXPECT_EQ(queryFor({"Apple", "", "", ""}, {A, A, A}), "%2Bapple");
  EXPECT_EQ(queryFor({"Apple", "", "", ""}, {O, A, A}), "apple");
  EXPECT_EQ(queryFor({"  new   york  ", "", "", "city"}, {A, A, N}), "%2B%22new+york%22+-+city");
  EXPECT_EQ(queryFor({"", "b", "", ""}, {N, A, A}), "+-+b");
  EXPECT_EQ(queryFor({"Apple", "", "", ""}, {A, A, A}, true), "%2BApple");
  EXPECT_EQ(queryFor({"a&b", "   ", "", ""}, {A, A, A}), "%2Ba&b");
}

// First pages of each engine, then offsets that follow the accepted hits
// (AltaVista's count can fall below zero through its rejections).
TEST(RequestUrl, EachEngineAndOffsetAndTheRowsOfTheEngineTable) {
  struct Row {
    Engine engine;
    const char* query;
    int32_t accepted;
    int pass;
    const char* url;
  };
  const Row rows[] = {
      {Engine::Yahoo, "%2Bq", 0, 1, "http://ink.yahoo.com/bin/query?p=%2Bq&h=s&b= 1"},
      {Engine::Yahoo, "%2Bq", 0, 2, "http://search.yahoo.com/bin/search?p=%2Bq&h=s&b= 1"},
      {Engine::Lycos, "%2Bq", 0, 1,
       "http://www.lycos.com/cgi-bin/pursuit?cat=lycos&first=1&query=%2Bq"},
      {Engine::InfoSeek, "%2Bq", 0, 1, "http://www.infoseek.com/Titles?qt=%2Bq&st= 1"},
      {Engine::Excite, "%2Bq", 0, 1, "http://search.excite.com/search.gw?s=%2Bq&start= 0"},
      {Engine::AltaVista, "%2Bq", 0, 1, "http://www.altavista.com/cgi-bin/query?q=%2Bq&stq= 1"},
      {Engine::Yahoo, "q", 12, 2, "http://search.yahoo.com/bin/search?p=q&h=s&b= 13"},
      {Engine::Lycos, "q", 10, 1,
       "http://www.lycos.com/cgi-bin/pursuit?cat=lycos&first=11&query=q"},
      {Engine::Excite, "q", 10, 1, "http://search.excite.com/search.gw?s=q&start= 10"},
      {Engine::AltaVista, "q", -3, 1, "http://www.altavista.com/cgi-bin/query?q=q&stq=-2"},
      // Non-ASCII letters go as UTF-8 percent-escapes, ASCII as typed.
      {Engine::Lycos, "%2B%22\xD0\x9F\xC3\xA4+a&b%22", 0, 1,
       "http://www.lycos.com/cgi-bin/pursuit?cat=lycos&first=1&query=%2B%22%D0%9F%C3%A4+a&b%22"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(requestUrl(row.engine, EngineHosts{}, row.query, row.accepted, row.pass), row.url);
  // Each row ticks its own box: the searches themselves tick through the rows.
  Settings s;
  s.chkExcite = true;
  for (Engine e : kEngineOrder) {
    EXPECT_EQ(engineRow(e).engine, e);
    EXPECT_EQ(s.*engineRow(e).tickBox, e == Engine::Excite);
  }
  EXPECT_EQ(engineNamed("AltaVista"), Engine::AltaVista);
  EXPECT_EQ(engineNamed("webcrawler"), std::nullopt);
}

TEST(EngineHosts, FileAndCommandLineOverridesAndAMissingFileIsNotCreated) {
  testing::ScratchDir dir;
  EXPECT_EQ(loadEngineHosts(dir.path()), EngineHosts{});
  EXPECT_FALSE(dir.exists(kEngineHostsFileName));

  dir.write(kEngineHostsFileName,
            "[YAHOO]\r\nMain = 127.0.0.1:8001\r\nsecond=127.0.0.1:8002\r\ncolour=blue\r\n"
            "[ altavista ]\nhost=av.local:81\n[Lycos]\nhost=\n[Nobody]\nhost=x\n");
  EngineHosts h = loadEngineHosts(dir.path());
  EXPECT_EQ(h.yahooMain, "127.0.0.1:8001");
  EXPECT_EQ(h.yahooSecond, "127.0.0.1:8002");
  EXPECT_EQ(h.altavista, "av.local:81");
  EXPECT_EQ(h.lycos, EngineHosts{}.lycos);
  EXPECT_EQ(requestUrl(Engine::AltaVista, h, "q", 0),
            "http://av.local:81/cgi-bin/query?q=q&stq= 1");
  // Overrides from the command line.
  h = EngineHosts{};
  EXPECT_TRUE(applyHostOverride(h, "Yahoo=127.0.0.1:9000"));
  EXPECT_EQ(h.yahooMain, "127.0.0.1:9000");
  EXPECT_EQ(h.yahooSecond, "127.0.0.1:9000");
  EXPECT_TRUE(applyHostOverride(h, "yahoo-second=other:1"));
  EXPECT_EQ(h.yahooSecond, "other:1");
  EXPECT_TRUE(applyHostOverride(h, "infoseek=is:2"));
  EXPECT_EQ(h.infoseek, "is:2");
  EngineHosts before = h;
  EXPECT_FALSE(applyHostOverride(h, "webcrawler=x"));
  EXPECT_FALSE(applyHostOverride(h, "excite="));
  EXPECT_FALSE(applyHostOverride(h, "excite"));
  EXPECT_EQ(h, before);
}

TEST(OpenSearchQuery, ConnectorsPhrasesAndCaseAsTyped) {
  struct Row {
    std::array<std::string, 4> texts;
    std::array<int32_t, 3> connectors;
    const char* query;
  };
  const Row rows[] = {
      {{"Apple", "", "", ""}, {A, A, A}, "Apple"},
      {{"a", "b", "c", "d"}, {A, O, N}, "a b OR c -d"},
      {{" New  York ", "", "", "city"}, {A, A, N}, "\"New York\" -city"},
      {{"", "b", "", ""}, {N, A, A}, "-b"},
      {{"", "", "c", ""}, {A, O, A}, "c"},
      {{"   ", "x", "", ""}, {O, A, A}, "x"},
  };
  for (const Row& r : rows) {
    MainControls controls;
    controls.searchText = r.texts;
    controls.connector = r.connectors;
    EXPECT_EQ(openSearchQuery(controls), r.query) << r.query;
  }
}

TEST(OpenSearchTemplate, FilledAsOpenSearchSaysRefusalsAndNames) {
  struct Row {
    const char* tmpl;
    const char* url;
  };
  const Row rows[] = {
      {"http://h/s?q={searchTerms}&p={startPage?}&format=json",
       "http://h/s?q=%22New%20York%22%20-%C3%84pfel&p=3&format=json"},
      {"http://h/s?q={searchTerms}&i={startIndex}&n={count?}&l={language?}&e={inputEncoding}",
       "http://h/s?q=%22New%20York%22%20-%C3%84pfel&i=21&n=&l=&e=UTF-8"},
      {"http://h/s?q={searchTerms}&x={ext:thing?}",
       "http://h/s?q=%22New%20York%22%20-%C3%84pfel&x="},
  };
  for (const Row& r : rows)
    EXPECT_EQ(fillTemplate(r.tmpl, "\"New York\" -\xC3\x84pfel", 21, 3), r.url) << r.tmpl;
  EXPECT_TRUE(templatePages("http://h/?q={searchTerms}&s={startIndex?}"));
  EXPECT_FALSE(templatePages("http://h/?q={searchTerms}"));
  EXPECT_EQ(templateRefusal("https://h/?q={searchTerms}&c={count}&p={startPage}"), "");
  EXPECT_NE(templateRefusal("http://h/?q=apple"), "");
  EXPECT_NE(templateRefusal("ftp://h/?q={searchTerms}"), "");
  EXPECT_NE(templateRefusal("http://h/?q={searchTerms}&k={apiKey}"), "");
  EXPECT_NE(templateRefusal("http://h/?q={searchTerms}&a[]=1"), "");
  EXPECT_NE(templateRefusal("http://h/?q={searchTerms} x"), "");

  EXPECT_EQ(engineNameRefusal("My SearXNG"), "");
  for (const char* bad : {"", " pad", "a[b", "a]b", "two\nlines", "cr\r", "back\\slash",
                          "my HTTP engine", "Yahoo", "altavista"})
    EXPECT_NE(engineNameRefusal(bad), "") << bad;
}

std::string rss(const std::string& items) {
  return "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><rss version=\"2.0\"><channel>"
         "<title>t</title>" +
         items + "</channel></rss>";
}

struct AnswerRow {
  ResultFormat format;
  std::string body;
};

TEST(EngineAnswers, EachFormatGivesLinksTitlesAndDescriptionsBadOnesAReasonLongOnesAreCut) {
  const AnswerRow rows[] = {
      {ResultFormat::Rss,
       rss("<item><title>Apple &amp; Pie</title><link> http://a.example/1 </link>"
           "<description>&lt;b&gt;Red&lt;/b&gt;   apples</description></item>"
           "<item><title>No link</title></item>"
           "<item><title>Script</title><link>javascript:alert(1)</link></item>"
           "<item><title><![CDATA[<i>Green</i>]]></title><link>https://b.example/2</link></item>")},
      {ResultFormat::Atom,
       "<feed xmlns=\"http://www.w3.org/2005/Atom\"><entry><title type=\"html\">Apple &amp;amp; "
       "Pie</title><link rel=\"self\" href=\"http://self/\"/><link rel=\"alternate\" "
       "href=\"http://a.example/1\"/><summary>&lt;b&gt;Red&lt;/b&gt; apples</summary></entry>"
       "<entry><title>No link</title></entry><entry><title>Script</title>"
       "<link href=\"javascript:x\"/></entry><entry><title>Green</title><link "
       "href=\"https://b.example/2\"/><content type=\"xhtml\"><div><p>in</p></div></content>"
       "</entry></feed>"},
      {ResultFormat::SearxngJson,
       R"({"query":"apple","results":[{"url":"http://a.example/1","title":"Apple &amp; Pie",
       "content":"<b>Red</b>\n apples"},{"title":"No link"},{"url":"javascript:x","title":"S"},
       {"url":"https://b.example/2","title":"Green"}, 7]})"},
  };
  for (const AnswerRow& r : rows) {
    const EngineAnswer answer = readEngineAnswer(r.format, r.body);
    ASSERT_TRUE(answer.readable) << formatName(r.format) << ": " << answer.error;
    ASSERT_EQ(answer.hits.size(), 2u) << formatName(r.format);
    EXPECT_EQ(answer.hits[0].url, "http://a.example/1");
    EXPECT_EQ(answer.hits[0].title, "Apple & Pie");
    EXPECT_EQ(answer.hits[0].description, "Red apples");
    EXPECT_EQ(answer.hits[1].url, "https://b.example/2");
    EXPECT_EQ(answer.hits[1].title, "Green");
    EXPECT_GE(answer.dropped, 2u);
  }
  // Bad answers are refused with a reason.
  const AnswerRow bad[] = {
      {ResultFormat::Rss, "<html><body><h1>502 Bad Gateway</h1></body></html>"},
      {ResultFormat::Rss, "<rss><channel><item><title>cut"},
      {ResultFormat::Atom, rss("")},
      {ResultFormat::Rss, "   "},
      {ResultFormat::SearxngJson, "<html>Too many requests</html>"},
      {ResultFormat::SearxngJson, R"({"results": {"url": 1}})"},
      {ResultFormat::SearxngJson, R"({"results": [)"},
      {ResultFormat::SearxngJson, std::string(kMaxAnswerBytes + 1, ' ')},
  };
  for (const AnswerRow& r : bad) {
    const EngineAnswer answer = readEngineAnswer(r.format, r.body);
    EXPECT_FALSE(answer.readable) << r.body.substr(0, 40);
    EXPECT_FALSE(answer.error.empty());
  }
  std::string results;
  for (size_t i = 0; i < kMaxAnswerHits + 5; ++i)
    results += std::string(i ? "," : "") + R"({"url":"http://a/)" + std::to_string(i) +
               R"(","title":")" + std::string(kMaxTitleBytes - 1, 'x') + "\xC3\xA4\"}";
  const EngineAnswer answer =
      readEngineAnswer(ResultFormat::SearxngJson, "{\"results\":[" + results + "]}");
  ASSERT_EQ(answer.hits.size(), kMaxAnswerHits);
  EXPECT_EQ(answer.hits[0].title, std::string(kMaxTitleBytes - 1, 'x'));
}

TEST(DescriptionDocument, TakesRssBeforeAtomBeforeJsonWithOffsets) {
  const std::string doc =
      "<?xml version=\"1.0\"?><OpenSearchDescription><ShortName>Peer</ShortName>"
      "<Url type=\"text/html\" template=\"http://p/?q={searchTerms}\"/>"
      "<Url type=\"application/json\" template=\"http://p/j?q={searchTerms}\"/>"
      "<Url type=\"application/atom+xml\" template=\"http://p/a?q={searchTerms}&amp;"
      "s={startIndex?}\" indexOffset=\"0\"/>"
      "<Url type=\"application/rss+xml\" rel=\"suggestions\" "
      "template=\"http://p/s?q={searchTerms}\"/>"
      "</OpenSearchDescription>";
  const DescribedEngine d = readDescriptionDocument(doc);
  ASSERT_TRUE(d.usable) << d.error;
  EXPECT_EQ(d.engine.name, "Peer");
  EXPECT_EQ(d.engine.urlTemplate, "http://p/a?q={searchTerms}&s={startIndex?}");
  EXPECT_EQ(d.engine.format, ResultFormat::Atom);
  EXPECT_EQ(d.engine.indexOffset, 0);
  EXPECT_EQ(d.engine.pageOffset, 1);

  for (const char* bad :
       {"<OpenSearchDescription><Url type=\"text/html\" template=\"http://p/?q={searchTerms}\"/>"
        "</OpenSearchDescription>",
        "<OpenSearchDescription><Url type=\"application/rss+xml\" template=\"http://p/\"/>"
        "</OpenSearchDescription>",
        "<html>not here</html>"}) {
    const DescribedEngine refused = readDescriptionDocument(bad);
    EXPECT_FALSE(refused.usable) << bad;
    EXPECT_FALSE(refused.error.empty());
  }
}

}  // namespace
}  // namespace quexa
