// Pages in the encodings of the world's scripts, declared each usual way,
// served on the loopback, fetched by the real fetcher and matched by the
// real library in their own script.
#include <gtest/gtest.h>
#include <iconv.h>

#include "library_fixture.h"
#include "net/curl_fetcher.h"
#include "support/http_test_server.h"

namespace quexa::testing {
namespace {

using test::HttpTestServer;

std::string encode(const std::string& utf8, const char* to) {
  iconv_t cd = iconv_open(to, "UTF-8");
  EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1)) << to;
  std::string out(utf8.size() * 4 + 8, '\0');
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size();
  char* outPtr = out.data();
  size_t outLeft = out.size();
  EXPECT_NE(iconv(cd, &in, &inLeft, &outPtr, &outLeft), static_cast<size_t>(-1)) << to;
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

struct Row {
  const char* label;  // as the page declares it; "" for a byte-order mark alone
  const char* iconvName;
  std::string bom;
  std::string text;       // the page's words, UTF-8
  std::string word;       // searched for with its case matched
  std::string otherCase;  // the word in other letter case; "" for scripts without case
};

const Row kRows[] = {
    {"cp1251", "CP1251", "", "Привет, мир", "Привет", "привет"},
    {"koi8-r", "KOI8-R", "", "Здравствуй, Москва", "Москва", "МОСКВА"},
    {"x-sjis", "CP932", "", "日本語のページへようこそ", "ようこそ", ""},
    {"euc-jp", "EUC-JP", "", "東京の天気は晴れ", "天気", ""},
    {"gbk", "GBK", "", "你好，世界", "世界", ""},
    {"gb18030", "GB18030", "", "汉字𠀀和拼音", "𠀀和", ""},
    {"big5", "BIG5-HKSCS", "", "繁體中文網頁", "中文", ""},
    {"ks_c_5601-1987", "CP949", "", "안녕하세요 세계", "세계", ""},
    {"latin2", "ISO-8859-2", "", "Zażółć gęślą jaźń", "gęślą", "GĘŚLĄ"},
    {"iso-8859-7", "ISO-8859-7", "", "Καλημέρα κόσμε", "κόσμε", "ΚΌΣΜΕ"},
    {"windows-1254", "CP1254", "", "Günaydın İstanbul", "İstanbul", "İSTANBUL"},
    {"windows-1255", "CP1255", "", "שלום עולם", "עולם", ""},
    {"", "UTF-16LE", "\xFF\xFE", "Grüße aus Kyjiw: Вітаю", "Вітаю", "вітаю"},
    {"", "UTF-16BE", "\xFE\xFF", "日本と한국", "한국", ""},
};

struct Way {
  const char* name;
  std::string contentType;  // "%" stands for the label
  std::string head;
};

const Way kWays[] = {
    {"header", "text/html; charset=%", ""},
    {"meta charset", "text/html", "<meta charset=\"%\">"},
    {"meta http-equiv", "text/html",
     "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=%\">"},
};

std::string withLabel(std::string s, const std::string& label) {
  if (size_t at = s.find('%'); at != std::string::npos) s.replace(at, 1, label);
  return s;
}

using PageEncodingsTest = LibraryTest;

TEST_F(PageEncodingsTest, EachPageIsReadAndFoundInItsOwnScript) {
  HttpTestServer server;
  struct Served {
    const Row* row;
    const Way* way;
    std::string path, page;
  };
  std::vector<Served> served;
  for (const Row& row : kRows) {
    for (const Way& way : kWays) {
      if (row.label[0] == '\0' && &way != &kWays[0]) continue;  // the mark is the declaration
      std::string page = "<html><head>" + withLabel(way.head, row.label) + "</head><body><p>" +
                         row.text + "</p></body></html>";
      std::string path = "/" + std::to_string(served.size());
      std::string contentType =
          row.label[0] == '\0' ? "text/html" : withLabel(way.contentType, row.label);
      server.on(path, HttpTestServer::page(row.bom + encode(page, row.iconvName), contentType));
      served.push_back({&row, &way, path, page});
    }
  }
  server.start();

  NullPump pump;
  CurlFetcher fetcher(pump);
  for (const Served& s : served) {
    SCOPED_TRACE(std::string(s.row->iconvName) + " by " + s.way->name);
    std::string body = fetcher.fetch(server.url(s.path), 5).body;
    EXPECT_EQ(body, s.page);
    EXPECT_GT(find(body, s.row->word).result, 0);
    // In the other letter case the word is found with case ignored only.
    if (!s.row->otherCase.empty()) {
      EXPECT_EQ(find(body, s.row->otherCase).result, 0);
      EXPECT_GT(find(body, s.row->otherCase, MZK11_IGNORE_CASE).result, 0);
    }
  }
}

}  // namespace
}  // namespace quexa::testing
