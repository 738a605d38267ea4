#include "net/robots.h"

#include <set>
#include <utility>

#include "app/text.h"
#include "net/url.h"

namespace quexa {

namespace {

// A pattern longer than this is cut: no site's paths need more, and a
// bounded pattern keeps every match cheap.
constexpr size_t kLongestPattern = 2048;

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

// The product token of a user-agent line: up to a "/" or a blank.
bool namesAgent(std::string_view value, std::string_view agent) {
  value = value.substr(0, value.find_first_of("/ \t"));
  return lowerSameLength(value) == lowerSameLength(agent);
}

// "*" matches any run of characters; "$" at the end of the pattern matches
// the end of the path. Greedy with one backtrack point, so linear in
// practice.
bool patternMatches(std::string_view pattern, std::string_view path) {
  bool anchored = false;
  if (!pattern.empty() && pattern.back() == '$') {
    anchored = true;
    pattern.remove_suffix(1);
  }
  size_t p = 0, s = 0, starP = std::string_view::npos, starS = 0;
  while (s < path.size()) {
    if (p == pattern.size() && !anchored) return true;
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starS = s;
    } else if (p < pattern.size() && pattern[p] == path[s]) {
      ++p;
      ++s;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      s = ++starS;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

struct Group {
  std::vector<std::string> agents;
  std::vector<RobotsRule> rules;
};

std::vector<Group> readGroups(std::string_view text) {
  std::vector<Group> groups;
  bool lastWasAgent = false;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find_first_of("\r\n", at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    at = end + 1;
    line = line.substr(0, line.find('#'));
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string key = lowerSameLength(trimmed(line.substr(0, colon)));
    const std::string_view value = trimmed(line.substr(colon + 1));
    if (key == "user-agent") {
      if (!lastWasAgent || groups.empty()) groups.emplace_back();
      groups.back().agents.emplace_back(value);
      lastWasAgent = true;
    } else if (key == "allow" || key == "disallow") {
      lastWasAgent = false;
      // Rules before any user-agent line belong to no group; an empty
      // pattern is no rule.
      if (groups.empty() || value.empty()) continue;
      groups.back().rules.push_back(
          {key == "allow", std::string(value.substr(0, kLongestPattern))});
    }
  }
  return groups;
}

}  // namespace

RobotsRules parseRobots(std::string_view text, std::string_view agent) {
  const std::vector<Group> groups = readGroups(text.substr(0, kRobotsReadBytes));
  RobotsRules mine, everyone;
  bool named = false;
  for (const Group& group : groups) {
    for (const std::string& name : group.agents) {
      if (namesAgent(name, agent)) {
        named = true;
        mine.rules.insert(mine.rules.end(), group.rules.begin(), group.rules.end());
        break;
      }
      if (name == "*") {
        everyone.rules.insert(everyone.rules.end(), group.rules.begin(), group.rules.end());
        break;
      }
    }
  }
  RobotsRules& chosen = named ? mine : everyone;
  // A rule written twice decides the same way twice: keep one, so a large
  // file of repeats costs one match per distinct pattern.
  std::set<std::pair<std::string, bool>> seen;
  std::vector<RobotsRule> distinct;
  for (RobotsRule& rule : chosen.rules)
    if (seen.emplace(rule.pattern, rule.allow).second) distinct.push_back(std::move(rule));
  chosen.rules = std::move(distinct);
  return chosen;
}

bool robotsAllow(const RobotsRules& rules, std::string_view pathAndQuery) {
  if (rules.disallowAll) return false;
  if (pathAndQuery == "/robots.txt") return true;
  size_t longest = 0;
  bool allowed = true;
  for (const RobotsRule& rule : rules.rules) {
    const size_t length = rule.pattern.size();
    if (length < longest || !patternMatches(rule.pattern, pathAndQuery)) continue;
    if (length > longest || rule.allow) allowed = rule.allow;
    longest = length;
  }
  return allowed;
}

RobotsRules robotsFromAnswer(long httpStatus, std::string_view body) {
  if (httpStatus >= 200 && httpStatus < 300) return parseRobots(body);
  RobotsRules rules;
  rules.disallowAll = !(httpStatus >= 400 && httpStatus < 500);
  return rules;
}

const RobotsRules& RobotsSites::rulesFor(const std::string& url) {
  const std::string robotsUrl = robotsUrlOf(url);
  auto it = sites_.find(robotsUrl);
  if (it == sites_.end()) {
    const Answer answer = fetch_(robotsUrl);
    it = sites_.emplace(robotsUrl, robotsFromAnswer(answer.httpStatus, answer.body)).first;
  }
  return it->second;
}

bool RobotsSites::allows(const std::string& url) {
  return robotsAllow(rulesFor(url), pathAndQuery(url));
}

std::optional<bool> RobotsSites::knownAllows(const std::string& url) const {
  const auto it = sites_.find(robotsUrlOf(url));
  if (it == sites_.end()) return std::nullopt;
  return robotsAllow(it->second, pathAndQuery(url));
}

bool RobotsSites::siteUnreadable(const std::string& url) {
  return rulesFor(url).disallowAll;
}

}  // namespace quexa
