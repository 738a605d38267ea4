// Which pages robots.txt lets the crawl fetch.
#include "net/robots.h"

#include <gtest/gtest.h>

#include <string>

namespace quexa {
namespace {

TEST(Robots, GroupsPatternsAndTheLongestMatch) {
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
}

TEST(Robots, TheAnswerDecides) {
  struct Case {
    long status;
    bool allowed;
  } cases[] = {{200, false}, {404, true}, {403, true}, {500, false}, {503, false}, {0, false}};
  for (const Case& c : cases)
    EXPECT_EQ(robotsAllow(robotsFromAnswer(c.status, "User-agent: *\nDisallow: /a"), "/a"),
              c.allowed)
        << c.status;
  EXPECT_TRUE(robotsAllow(robotsFromAnswer(200, ""), "/a"));
}

TEST(Robots, HugeFilesOfWildcardsStayCheap) {
  std::string big = "User-agent: *\n";
  while (big.size() < 1024 * 1024) big += "Disallow: /*a*a*a*a*a*a*a*a*a*a*b$\n";
  const RobotsRules rules = parseRobots(big);
  EXPECT_TRUE(robotsAllow(rules, "/" + std::string(2000, 'a')));
}

TEST(Robots, EachSiteIsAskedOnce) {
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
