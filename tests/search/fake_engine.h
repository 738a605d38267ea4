// A loopback server that plays all five Web engines at once: every engine
// host points at it, and it answers by request target (path and raw query)
// with a result page written the way the engines wrote them in 1998. Any
// target it was not given gets a page without links, the engine's last.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "search/engines/queries.h"
#include "support/http_test_server.h"

namespace quexa::test {

struct FakeHit {
  std::string url;
  std::string title;
  std::string description;  // InfoSeek: "" gives a block without a line break
};

inline constexpr const char* kNoMoreHitsPage = "<html><body>No more hits.</body></html>";

inline std::string yahooPage(const std::vector<FakeHit>& hits) {
  std::string page = "<html><body><a href=\"http://www.yahoo.com/\">Home</a><ul>";
  for (const FakeHit& h : hits)
    page += "<li><a href=\"" + h.url + "\">" + h.title + "</a>" + h.description;
  return page + "</ul><a href=\"http://search.yahoo.com/more\">More</a></body></html>";
}

inline std::string lycosPage(const std::vector<FakeHit>& hits) {
  std::string page = "<html><body><a href=\"http://www.lycos.com/\">Lycos</a>\n";
  for (const FakeHit& h : hits)
    page += "<a href=\"" + h.url + "\"><b>" + h.title + "</b></a><br>" + h.description + "<br>" +
            h.url + "<p>\n";
  return page + "<a href=\"http://www.lycos.com/help\">Help</a></body></html>";
}

inline std::string infoseekPage(const std::vector<FakeHit>& hits) {
  std::string page = "<html><body>\n";
  for (const FakeHit& h : hits) {
    page += "<a href=\"" + h.url + "\">" + h.title + "</a>";
    page += h.description.empty() ? " (no summary)" : "<br>\n" + h.description;
    page += "<font size=-1>Relevance 90%</font><p>\n";
  }
  return page + "<a href=\"http://www.infoseek.com/Help\">Help</a></body></html>";
}

inline std::string excitePage(const std::vector<FakeHit>& hits) {
  std::string page = "<html><body><small>\n";
  for (const FakeHit& h : hits)
    page += "<a href=\"" + h.url + "\">" + h.title + "</a>&nbsp;" + h.description +
            "<br>Score 80<p></small>\n";
  return page + "<a href=\"http://www.excite.com/next\">Next</a></body></html>";
}

inline std::string altavistaPage(const std::vector<FakeHit>& hits) {
  std::string page = "<html><body><dl>\n";
  for (const FakeHit& h : hits)
    page += "<dt><a href=\"" + h.url + "\">" + h.title + "</a><br>Last modified 1998<br>" +
            h.description + "<br>- In English<p>\n";
  return page + "</dl><a href=\"http://www.altavista.com/\">AltaVista</a></body></html>";
}

// `count` hits numbered from `first`, on pages of their own host.
inline std::vector<FakeHit> numberedHits(const std::string& tag, int first, int count) {
  std::vector<FakeHit> hits;
  for (int i = first; i < first + count; ++i) {
    const std::string n = std::to_string(i);
    hits.push_back(
        {"http://pie.example/" + tag + n + ".html", "Apple " + tag + n, "About " + tag + n});
  }
  return hits;
}

class FakeEngines {
 public:
  FakeEngines() {
    server.otherwise([this](const httplib::Request& req, httplib::Response& res) {
      std::string body = kNoMoreHitsPage;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = pages_.find(req.target);
        if (it != pages_.end()) body = it->second;
      }
      res.set_content(body, "text/html");
    });
  }

  // The page for a request target as it comes on the wire.
  void answer(const std::string& target, const std::string& page) {
    std::lock_guard<std::mutex> lock(mutex_);
    pages_[target] = page;
  }

  void start() { server.start(); }

  // Every engine host, Yahoo!'s two included, at this server.
  EngineHosts hosts() const {
    const std::string at = server.hostAndPort();
    return EngineHosts{at, at, at, at, at, at};
  }

  std::vector<std::string> targets() const {
    std::vector<std::string> out;
    for (const RecordedRequest& r : server.requests()) out.push_back(r.target);
    return out;
  }

  HttpTestServer server;

 private:
  std::mutex mutex_;
  std::map<std::string, std::string> pages_;
};

// The request targets of the query "%2Bapple" (the text apple, case ignored).
inline std::string yahooTarget(int pass, int b) {
  return std::string(pass == 1 ? "/bin/query" : "/bin/search") + "?p=%2Bapple&h=s&b=%20" +
         std::to_string(b);
}
inline std::string lycosTarget(int first) {
  return "/cgi-bin/pursuit?cat=lycos&first=" + std::to_string(first) + "&query=%2Bapple";
}
inline std::string infoseekTarget(int st) {
  return "/Titles?qt=%2Bapple&st=%20" + std::to_string(st);
}
inline std::string exciteTarget(int start) {
  return "/search.gw?s=%2Bapple&start=%20" + std::to_string(start);
}
inline std::string altavistaTarget(int stq) {
  return "/cgi-bin/query?q=%2Bapple&stq=%20" + std::to_string(stq);
}

}  // namespace quexa::test
