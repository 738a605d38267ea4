// A Web server on 127.0.0.1 for the network tests: handlers per path and a
// catch-all, a record of every request in the order it came, and ready-made
// handlers for the answers a site can give (empty, silent, slow, error
// pages, redirects, gzip, charsets) and for a forward proxy.
//
//   HttpTestServer s;
//   s.on("/a", s.page("<html>..</html>"));
//   s.start();
//   fetcher.fetch(s.url("/a"), 2);
#pragma once

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace quexa::test {

struct RecordedRequest {
  std::string path;    // decoded by the server
  std::string target;  // as it came on the wire, query included
  httplib::Headers headers;
  int remotePort = 0;  // the client's end of the connection
  std::string header(const std::string& name) const {
    auto it = headers.find(name);
    return it == headers.end() ? "" : it->second;
  }
};

class HttpTestServer {
 public:
  using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;

  HttpTestServer();
  ~HttpTestServer() { stop(); }
  HttpTestServer(const HttpTestServer&) = delete;
  HttpTestServer& operator=(const HttpTestServer&) = delete;

  // A handler for one exact path (query not included), or for every other one.
  void on(const std::string& path, Handler handler) {
    std::lock_guard lock(mutex_);
    handlers_[path] = std::move(handler);
  }
  void otherwise(Handler handler) {
    std::lock_guard lock(mutex_);
    fallback_ = std::move(handler);
  }

  // Listens on a free port of 127.0.0.1 and returns once requests are taken.
  void start();
  // Ends waiting handlers and the server; harmless when not started.
  void stop();

  int port() const { return port_; }
  // "http://127.0.0.1:<port>" followed by the path (and query).
  std::string url(const std::string& pathAndQuery = "/") const {
    return "http://" + hostAndPort() + pathAndQuery;
  }
  // "127.0.0.1:<port>", as a proxy setting names this server.
  std::string hostAndPort() const { return "127.0.0.1:" + std::to_string(port_); }

  std::vector<RecordedRequest> requests() const;
  size_t requestCount() const;
  size_t requestCount(const std::string& path) const;

  // Sleeps for d, or less when the server stops. False when it stopped.
  bool pause(std::chrono::milliseconds d) const;

  // Ready-made handlers.
  static Handler page(std::string body, std::string contentType = "text/html", int status = 200) {
    return [=](const httplib::Request&, httplib::Response& res) {
      res.status = status;
      res.set_content(body, contentType);
    };
  }
  static Handler emptyBody() { return page(""); }
  static Handler errorPage(int status, std::string body) {
    return page(std::move(body), "text/html", status);
  }
  static Handler redirect(std::string location, int status = 302);
  // The body sent gzip-compressed with Content-Encoding: gzip.
  static Handler gzipped(std::string body);
  // Sends nothing for up to `upTo`, ending early when the server stops.
  Handler silence(std::chrono::milliseconds upTo = std::chrono::seconds(20));
  // A chunked body: `chunks` pieces with a gap before each.
  Handler slowBody(int chunks, std::chrono::milliseconds gap, std::string chunk = "<p>drip</p>");
  // Forwards absolute-form GETs for 127.0.0.1 to their server and answers
  // with its response (header "Via: test-proxy"); refuses every other host.
  static Handler forwardProxy();

 private:
  void dispatch(const httplib::Request& req, httplib::Response& res);

  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
  mutable std::mutex mutex_;
  std::map<std::string, Handler> handlers_;
  Handler fallback_;
  std::vector<RecordedRequest> requests_;
  mutable std::mutex stopMutex_;
  mutable std::condition_variable stopSignal_;
  bool stopping_ = false;
};

// An address of 127.0.0.1 at a port that was just free: nobody listens
// there, so a connection is refused.
inline std::string deadHostAndPort() {
  HttpTestServer gone;
  gone.start();
  return gone.hostAndPort();
}

// `n` bytes of ASCII page text.
inline std::string filler(size_t n, char c = 'x') {
  return std::string(n, c);
}

// Gzip form of a text.
std::string gzip(const std::string& text);

}  // namespace quexa::test
