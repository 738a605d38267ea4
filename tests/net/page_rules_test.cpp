// What a fetched page means: the server's error page, the body cut and the
// decoding of its bytes.
#include <gtest/gtest.h>

#include "net/fetch_page.h"
#include "net/charset.h"

namespace quexa {
namespace {

std::string repeat(const std::string& s, size_t n) {
  std::string out;
  for (size_t i = 0; i < n; ++i) out += s;
  return out;
}

TEST(ServerErrorPage, ShortNotFoundOnlyOnTheSitesFirstPage) {
  const std::string shortPage = "<html>" + repeat("x", 200) + " FILE NOT FOUND " + repeat("y", 28);
  ASSERT_EQ(shortPage.size(), 250u);
  EXPECT_TRUE(isServerErrorPage(shortPage, 1));
  EXPECT_FALSE(isServerErrorPage(shortPage, 2));
  EXPECT_FALSE(isServerErrorPage(shortPage, 0));

  const std::string longPage = repeat("x", 300) + "not found";
  EXPECT_FALSE(isServerErrorPage(longPage, 1));
  EXPECT_FALSE(isServerErrorPage("<html>all fine</html>", 1));
}

TEST(ServerErrorPage, DocumentNotFoundCountsOnLongPagesOnlyWithIbm) {
  const std::string body = repeat("z", 400) + " Document Not Found ";
  EXPECT_FALSE(isServerErrorPage(body, 1));
  EXPECT_TRUE(isServerErrorPage(body + " IBM HTTP Server", 1));
  EXPECT_TRUE(isServerErrorPage("Document not found", 1));  // short: the first rule
}

TEST(ServerErrorPage, LengthIsCountedInCharactersNotBytes) {
  // 250 characters, 450 bytes.
  const std::string accented = repeat("\xC3\xA9", 200) + " not found " + repeat("-", 39);
  ASSERT_EQ(characterCount(accented), 250u);
  EXPECT_TRUE(isServerErrorPage(accented, 1));
}

TEST(BodyCut, KeepsEverythingAfterTheFirstBodyTagsOpeningBracket) {
  EXPECT_EQ(cutAtBody("<html><head></head><body bgcolor=white>Hi</body>"),
            "body bgcolor=white>Hi</body>");
  EXPECT_EQ(cutAtBody("<HTML><BODY>Caps</BODY>"), "BODY>Caps</BODY>");
  EXPECT_EQ(cutAtBody("no tag at all"), "no tag at all");
  EXPECT_EQ(cutAtBody(""), "");
  EXPECT_EQ(cutAtBody("<body"), "body");
  // Letters before the tag that change in lower case keep the positions right.
  EXPECT_EQ(cutAtBody("\xC3\x84\xC3\x96<Body>x"), "Body>x");
}

TEST(PageCharset, NamesFromHeaderAndMeta) {
  EXPECT_EQ(charsetOfContentType("text/html; charset=ISO-8859-1"), "iso-8859-1");
  EXPECT_EQ(charsetOfContentType("text/html;charset=\"UTF-8\""), "utf-8");
  EXPECT_EQ(charsetOfContentType("text/html"), "");
  EXPECT_EQ(charsetOfMeta("<head><META CHARSET='windows-1252'></head>"), "windows-1252");
  EXPECT_EQ(charsetOfMeta("<meta name=\"charset-less\"><meta http-equiv=\"Content-Type\" "
                          "content=\"text/html; charset=utf-8\">"),
            "utf-8");
  // A declaration deep down in the page does not count.
  EXPECT_EQ(charsetOfMeta(std::string(5000, ' ') + "<meta charset=utf-8>"), "");
}

TEST(PageCharset, DecodesByTheDeclaredCharset) {
  // The header wins over the page's own declaration.
  EXPECT_EQ(decodePage("<meta charset=utf-8>\xE9", "text/html; charset=latin1"),
            "<meta charset=utf-8>\xC3\xA9");
  EXPECT_EQ(decodePage("\x80 \xE9", "text/html; charset=windows-1252"), "\xE2\x82\xAC \xC3\xA9");
  EXPECT_EQ(decodePage("plain", "text/plain; charset=us-ascii"), "plain");
  // UTF-8 declared but broken: the stray byte is read as Windows-1252.
  EXPECT_EQ(decodePage("caf\xC3\xA9 \xE9t\xC3", "text/html; charset=utf-8"),
            "caf\xC3\xA9 \xC3\xA9t\xC3\x83");
  // Unknown or no charset: valid UTF-8 stays, anything else is Windows-1252.
  EXPECT_EQ(decodePage("\xE2\x82\xAC", "text/html; charset=x-unknown"), "\xE2\x82\xAC");
  EXPECT_EQ(decodePage("\x93hi\x94", ""), "\xE2\x80\x9Chi\xE2\x80\x9D");
  EXPECT_EQ(decodePage("\xC3\xA9", ""), "\xC3\xA9");
}

}  // namespace
}  // namespace quexa
