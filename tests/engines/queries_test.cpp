#include "search/engines/queries.h"

#include <gtest/gtest.h>

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

TEST(SearchTextEncoding, LowerCasedTrimmedAndPhrasesQuoted) {
  EXPECT_EQ(encodeSearchText("New  York City", false), "%22new+york+city%22");
  EXPECT_EQ(encodeSearchText("  Apple ", false), "apple");
  EXPECT_EQ(encodeSearchText("Apple", true), "Apple");
  EXPECT_EQ(encodeSearchText("   ", false), "");
  EXPECT_EQ(encodeSearchText("a&b%c+d#", false), "a&b%c+d#");
  EXPECT_EQ(encodeSearchText("\xC3\x84pfel Baum", false), "%22\xC3\xA4pfel+baum%22");
}

TEST(QueryJoin, EveryConnectorSettingOverFourTerms) {
  struct Row {
    std::array<int32_t, 3> connectors;
    const char* query;
  };
  const Row rows[] = {
      {{A, A, A}, "%2Ba%2Bb%2Bc%2Bd"}, {{A, O, N}, "%2Ba%2Bb+c+-+d"},
      {{O, O, O}, "a+b+c+d"},          {{O, A, N}, "a+b%2Bc+-+d"},
      {{N, A, O}, "%2Ba+-+b%2Bc+d"},   {{N, N, N}, "%2Ba+-+b+-+c+-+d"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(joinQueryTerms({"a", "b", "c", "d"}, row.connectors), row.query);
  }
}

// The prefix follows a text's own connector even after empty texts; a
// connector with no button selected empties the whole query.
TEST(QueryJoin, EmptyTermsAndUnselectedConnectors) {
  struct Row {
    std::array<std::string, 4> terms;
    std::array<int32_t, 3> connectors;
    const char* query;
  };
  const Row rows[] = {
      {{"a", "b", "c", ""}, {A, N, A}, "%2Ba%2Bb+-+c"},
      {{"", "b", "", ""}, {N, A, A}, "+-+b"},
      {{"", "", "c", ""}, {A, O, A}, "+c"},
      {{"", "", "", ""}, {A, A, A}, ""},
      {{"a", "b", "", ""}, {A, 0, A}, ""},
      {{"a", "", "", ""}, {0, A, A}, ""},
  };
  for (const Row& row : rows) EXPECT_EQ(joinQueryTerms(row.terms, row.connectors), row.query);
}

TEST(QueryString, ExamplesFromTheSearchBoxes) {
  EXPECT_EQ(queryFor({"Apple", "", "", ""}, {A, A, A}), "%2Bapple");
  EXPECT_EQ(queryFor({"Apple", "", "", ""}, {O, A, A}), "apple");
  EXPECT_EQ(queryFor({"  new   york  ", "", "", "city"}, {A, A, N}), "%2B%22new+york%22+-+city");
  EXPECT_EQ(queryFor({"", "b", "", ""}, {N, A, A}), "+-+b");
  EXPECT_EQ(queryFor({"Apple", "", "", ""}, {A, A, A}, true), "%2BApple");
  EXPECT_EQ(queryFor({"a&b", "   ", "", ""}, {A, A, A}), "%2Ba&b");
}

// First pages of each engine, then offsets that follow the accepted hits
// (AltaVista's count can fall below zero through its rejections).
TEST(RequestUrl, EachEngineAndOffset) {
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
}

// The rows' texts show in the engine search's nodes, headings and status.
TEST(EngineTable, RowsTickTheirOwnBoxAndAreFoundByName) {
  Settings s;
  s.chkExcite = true;
  for (Engine e : kEngineOrder) {
    EXPECT_EQ(engineRow(e).engine, e);
    EXPECT_EQ(s.*engineRow(e).tickBox, e == Engine::Excite);
  }
  EXPECT_EQ(engineNamed("AltaVista"), Engine::AltaVista);
  EXPECT_EQ(engineNamed("webcrawler"), std::nullopt);
}

TEST(EngineHosts, FileOverridesAndMissingFileIsNotCreated) {
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
}

TEST(EngineHosts, CommandLineOverride) {
  EngineHosts h;
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

}  // namespace
}  // namespace quexa
