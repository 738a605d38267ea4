// What a fetched page means: the server's error page, the body cut and the
// decoding of its bytes; and which pages robots.txt lets the crawl fetch.
#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

#include "net/charset.h"
#include "net/fetch_page.h"
#include "net/robots.h"

namespace quexa {
namespace {

std::string repeat(const std::string& s, size_t n) {
  std::string out;
  for (size_t i = 0; i < n; ++i) out += s;
  return out;
}

// The error-page rule by page length (in characters), place in the site and
// wording: a short "not found" only on the site's first page, "Document Not
// Found" on a long page only with the IBM server's name.
TEST(FetchedPage, ServerErrorPageBodyCutCharsetNamesAndDecodingWithoutLoss) {
  const std::string shortPage = "<html>" + repeat("x", 200) + " FILE NOT FOUND " + repeat("y", 28);
  const std::string longDocument = repeat("z", 400) + " Document Not Found ";
  // 250 characters, 450 bytes.
  const std::string accented = repeat("\xC3\xA9", 200) + " not found " + repeat("-", 39);
  ASSERT_EQ(shortPage.size(), 250u);
  ASSERT_EQ(characterCount(accented), 250u);
  const struct {
    std::string body;
    int16_t page;
    bool error;
  } rows[] = {
      {shortPage, 1, true},
      {shortPage, 2, false},
      {shortPage, 0, false},
      {repeat("x", 300) + "not found", 1, false},
      {"<html>all fine</html>", 1, false},
      {longDocument, 1, false},
      {longDocument + " IBM HTTP Server", 1, true},
      {"Document not found", 1, true},
      {accented, 1, true},
  };
  for (const auto& r : rows)
    EXPECT_EQ(isServerErrorPage(r.body, r.page), r.error)
        << r.page << ": " << r.body.substr(0, 12) << " ... " << r.body.size();
  EXPECT_EQ(cutAtBody("<html><head></head><body bgcolor=white>Hi</body>"),
            "body bgcolor=white>Hi</body>");
  EXPECT_EQ(cutAtBody("<HTML><BODY>Caps</BODY>"), "BODY>Caps</BODY>");
  EXPECT_EQ(cutAtBody("no tag at all"), "no tag at all");
  EXPECT_EQ(cutAtBody(""), "");
  EXPECT_EQ(cutAtBody("<body"), "body");
  EXPECT_EQ(cutAtBody("<bod<<Bo\xC3\x84y<bOdY x>"), "bOdY x>");
  // Letters before the tag that change in lower case keep the positions right.
  EXPECT_EQ(cutAtBody("\xC3\x84\xC3\x96<Body>x"), "Body>x");
  EXPECT_EQ(charsetOfContentType("text/html; charset=ISO-8859-1"), "iso-8859-1");
  EXPECT_EQ(charsetOfContentType("text/html;charset=\"UTF-8\""), "utf-8");
  EXPECT_EQ(charsetOfContentType("text/html"), "");
  EXPECT_EQ(charsetOfMeta("<head><META CHARSET='windows-1252'></head>"), "windows-1252");
  EXPECT_EQ(charsetOfMeta("<meta name=\"charset-less\"><meta http-equiv=\"Content-Type\" "
                          "content=\"text/html; charset=utf-8\">"),
            "utf-8");
  // A declaration deep down in the page does not count.
  EXPECT_EQ(charsetOfMeta(std::string(5000, ' ') + "<meta charset=utf-8>"), "");
  const std::string fffd = "\xEF\xBF\xBD";
  const std::string deep = std::string(1024, ' ');
  struct Case {
    const char* what;
    std::string bytes;
    std::string contentType;
    std::string text;
  } cases[] = {
      {"the header wins over the page's own declaration", "<meta charset=utf-8>\xE9",
       "text/html; charset=latin1", "<meta charset=utf-8>\xC3\xA9"},
      {"windows-1252", "\x80 \xE9", "text/html; charset=windows-1252", "\xE2\x82\xAC \xC3\xA9"},
      {"us-ascii", "plain", "text/plain; charset=us-ascii", "plain"},
      {"UTF-8 declared but broken: the stray byte is Windows-1252", "caf\xC3\xA9 \xE9t\xC3",
       "text/html; charset=utf-8", "caf\xC3\xA9 \xC3\xA9t\xC3\x83"},
      {"unknown charset: valid UTF-8 stays", "\xE2\x82\xAC", "text/html; charset=x-unknown",
       "\xE2\x82\xAC"},
      {"no charset: Windows-1252", "\x93hi\x94", "", "\xE2\x80\x9Chi\xE2\x80\x9D"},
      {"no charset: valid UTF-8 stays", "\xC3\xA9", "", "\xC3\xA9"},
      {"byte-order marks win over the header",
       "\xEF\xBB\xBF"
       "caf\xC3\xA9",
       "text/html; charset=latin1", "caf\xC3\xA9"},
      {"UTF-16LE mark", std::string("\xFF\xFEh\0i\0", 6), "", "hi"},
      {"UTF-16BE mark", std::string("\xFE\xFF\0h\0i", 6), "text/html; charset=koi8-r", "hi"},
      {"label in capitals with blanks", "\xF0", "text/html; charset=\" KOI8-R\"", "\xD0\x9F"},
      {"meta names the charset", "<meta charset=koi8-r>\xF0", "", "<meta charset=koi8-r>\xD0\x9F"},
      {"meta after 1,024 bytes is ignored", deep + "<meta charset=koi8-r>\xF0", "",
       deep + "<meta charset=koi8-r>\xC3\xB0"},
      {"meta cut by the 1,024-byte window is ignored",
       std::string(1000, ' ') + "<meta charset=koi8-r                >\xF0", "",
       std::string(1000, ' ') + "<meta charset=koi8-r                >\xC3\xB0"},
      {"meta claiming UTF-16 means UTF-8", "<meta charset=utf-16>\xC3\xA9", "",
       "<meta charset=utf-16>\xC3\xA9"},
      {"UTF-16 declared on ASCII", "abc", "text/html; charset=utf-16", "\xE6\x89\xA1" + fffd},
      {"lone surrogate",
       std::string("\xFF\xFE\x00\xD8"
                   "a\0",
                   6),
       "", fffd + "a"},
      {"Shift_JIS cut at the end", "\x82\xA0\x82", "text/html; charset=x-sjis",
       "\xE3\x81\x82" + fffd},
      {"Shift_JIS bad trail byte",
       "\x82\x20"
       "a",
       "text/html; charset=sjis", fffd + " a"},
      {"byte with no character", "\xAA", "text/html; charset=windows-1253", fffd},
      {"x-user-defined", "a\x80\xFF", "text/html; charset=x-user-defined",
       "a\xEF\x9E\x80\xEF\x9F\xBF"},
      {"replacement", "abc", "text/html; charset=iso-2022-kr", fffd},
      {"a label naming nothing counts as none", "\xE9", "text/html; charset=klingon", "\xC3\xA9"},
  };
  for (const Case& c : cases) EXPECT_EQ(decodePage(c.bytes, c.contentType), c.text) << c.what;

  EXPECT_EQ(encodingForLabel("\tKs_C_5601-1987 ")->name, "EUC-KR");
  EXPECT_EQ(encodingForLabel("utf-8 x"), nullptr);
  EXPECT_EQ(encodingForLabel(""), nullptr);
}

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

// Pages in the encodings of the world's scripts, declared in turn by the
// header, a meta charset and a meta http-equiv, or by a byte-order mark alone.
TEST(PageCharset, TheWorldsScriptsDecodeFromTheirOwnEncodingsAndA32MiBUtf16PageCut) {
  const struct {
    std::string label;  // "" for a byte-order mark alone
    const char* iconvName;
    std::string bom;
    std::string text;
  } rows[] = {
      {"cp1251", "CP1251", "", "Привет, мир"},
      {"koi8-r", "KOI8-R", "", "Здравствуй, Москва"},
      {"x-sjis", "CP932", "", "日本語のページへようこそ"},
      {"euc-jp", "EUC-JP", "", "東京の天気は晴れ"},
      {"gbk", "GBK", "", "你好，世界"},
      {"gb18030", "GB18030", "", "汉字𠀀和拼音"},
      {"big5", "BIG5-HKSCS", "", "繁體中文網頁"},
      {"ks_c_5601-1987", "CP949", "", "안녕하세요 세계"},
      {"latin2", "ISO-8859-2", "", "Zażółć gęślą jaźń"},
      {"iso-8859-7", "ISO-8859-7", "", "Καλημέρα κόσμε"},
      {"windows-1254", "CP1254", "", "Günaydın İstanbul"},
      {"windows-1255", "CP1255", "", "שלום עולם"},
      {"", "UTF-16LE", "\xFF\xFE", "Grüße aus Kyjiw: Вітаю"},
      {"", "UTF-16BE", "\xFE\xFF", "日本と한국"},
  };
  for (size_t i = 0; i < std::size(rows); ++i) {
    const auto& r = rows[i];
    const size_t way = r.label.empty() ? 3 : i % 3;
    const std::string head =
        way == 1 ? "<meta charset=\"" + r.label + "\">"
        : way == 2
            ? "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=" + r.label + "\">"
            : "";
    const std::string page =
        "<html><head>" + head + "</head><body><p>" + r.text + "</p></body></html>";
    const std::string contentType = way == 0 ? "text/html; charset=" + r.label : "text/html";
    EXPECT_EQ(decodePage(r.bom + encode(page, r.iconvName), contentType), page) << r.iconvName;
  }
  std::string units = "\x1F\x04";  // П
  while (units.size() < 32u * 1024 * 1024) units += units;
  std::string bytes = "\xFF\xFE" + units.substr(2) + '\x1F';
  std::string text = decodePage(bytes, "text/html; charset=utf-16");
  ASSERT_EQ(text.size(), 2u * (16 * 1024 * 1024 - 1) + 3);
  EXPECT_EQ(text.substr(0, 2), "\xD0\x9F");
  EXPECT_EQ(text.substr(text.size() - 5), "\xD0\x9F\xEF\xBF\xBD");
}

TEST(Robots, GroupsPatternsTheLongestMatchAndTheAnswer) {
  const std::string file =
      "# comment\n"
      "Disallow: /before-any-group\n"
      "User-agent: *\n"
      "Disallow: /\n"
      "\n"
      "User-Agent: otherbot\n"
      "user-agent: QUEXA/2.0   # us\r\n"
      "Disallow: /private\n"
      "Allow: /private/open\n"
      "Disallow: /*.pdf$\n"
      "Disallow: /tmp*/cache\n"
      "Sitemap: http://x/sitemap.xml\n"
      "Allow: /same\n"
      "Disallow: /same\n"
      "Disallow:\n";
  const RobotsRules rules = parseRobots(file);
  struct Case {
    const char* path;
    bool allowed;
  } cases[] = {
      {"/", true},
      {"/before-any-group", true},
      {"/private", false},
      {"/private/x.html", false},
      {"/private/open/x.html", true},
      {"/doc.pdf", false},
      {"/doc.pdf?x", true},
      {"/tmp1/a/cache/x", false},
      {"/tmp/cache", false},
      {"/tmpcache", true},
      {"/same", true},
      {"/robots.txt", true},
  };
  for (const Case& c : cases) EXPECT_EQ(robotsAllow(rules, c.path), c.allowed) << c.path;

  // Without a group of its own the crawl takes "*".
  EXPECT_FALSE(robotsAllow(parseRobots(file, "someone"), "/anything"));
  EXPECT_TRUE(robotsAllow(parseRobots("User-agent: x\nDisallow: /\n"), "/a"));
  // The answer to the request for the file decides too.
  struct Answer {
    long status;
    bool allowed;
  } answers[] = {{200, false}, {404, true}, {403, true}, {500, false}, {503, false}, {0, false}};
  for (const Answer& a : answers)
    EXPECT_EQ(robotsAllow(robotsFromAnswer(a.status, "User-agent: *\nDisallow: /a"), "/a"),
              a.allowed)
        << a.status;
  EXPECT_TRUE(robotsAllow(robotsFromAnswer(200, ""), "/a"));
}

TEST(Robots, HugeFilesOfWildcardsStayCheapAndEachSiteIsAskedOnce) {
  std::string big = "User-agent: *\n";
  while (big.size() < 1024 * 1024) big += "Disallow: /*a*a*a*a*a*a*a*a*a*a*b$\n";
  const RobotsRules rules = parseRobots(big);
  EXPECT_TRUE(robotsAllow(rules, "/" + std::string(2000, 'a')));
  int asked = 0;
  RobotsSites sites([&](const std::string& url) {
    ++asked;
    if (url == "https://a.com/robots.txt") return RobotsSites::Answer{500, ""};
    return RobotsSites::Answer{200, "User-agent: *\nDisallow: /no"};
  });
  EXPECT_TRUE(sites.allows("http://a.com/yes"));
  EXPECT_FALSE(sites.allows("http://a.com/no"));
  EXPECT_FALSE(sites.allows("https://a.com/yes"));
  EXPECT_TRUE(sites.siteUnreadable("https://a.com/"));
  EXPECT_EQ(asked, 2);
}

}  // namespace
}  // namespace quexa
