// robots.txt: which pages of a site a crawler may fetch. The group for the
// user agent "Quexa" counts, else the group for "*"; among its Allow and
// Disallow rules the longest matching pattern wins (Allow on a tie); "*" in a
// pattern stands for any characters and a final "$" anchors it at the end.
//
// Plain values and pure functions: safe for concurrent use on distinct
// values; a RobotsSites requires external synchronization.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quexa {

inline constexpr const char* kRobotsAgent = "Quexa";
// A robots.txt longer than this is read up to here.
inline constexpr size_t kRobotsReadBytes = 512 * 1024;

struct RobotsRule {
  bool allow = false;
  std::string pattern;  // starts with "/" or "*"
};

struct RobotsRules {
  bool disallowAll = false;  // the file could not be read: the site is left out
  std::vector<RobotsRule> rules;
};

// The rules of the group that applies to agent (letter case ignored).
RobotsRules parseRobots(std::string_view text, std::string_view agent = kRobotsAgent);

// pathAndQuery starts with "/". /robots.txt itself is always allowed.
bool robotsAllow(const RobotsRules& rules, std::string_view pathAndQuery);

// How the answer for robots.txt decides: a page (2xx) is read; a missing file
// (4xx) allows everything; a server error, a time-out or no answer at all
// (status 0) disallows the whole site.
RobotsRules robotsFromAnswer(long httpStatus, std::string_view body);

// The robots.txt of every site (scheme and authority) met in one search,
// each fetched once, before that site's first page.
class RobotsSites {
 public:
  struct Answer {
    long httpStatus = 0;  // 0 when no answer came
    std::string body;
  };
  using FetchRobots = std::function<Answer(const std::string& robotsUrl)>;

  explicit RobotsSites(FetchRobots fetch) : fetch_(std::move(fetch)) {}
  // url is normalized. The first question about a site fetches its file.
  bool allows(const std::string& url);
  // Whether the site of url could not give its robots.txt (it is left out).
  bool siteUnreadable(const std::string& url);
  // The answer for url when its site's file is known already; nothing is
  // fetched (for the pages hinted to a fetcher ahead of time).
  std::optional<bool> knownAllows(const std::string& url) const;

 private:
  const RobotsRules& rulesFor(const std::string& url);

  FetchRobots fetch_;
  std::map<std::string, RobotsRules> sites_;  // by robots.txt address
};

}  // namespace quexa
