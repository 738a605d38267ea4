// How the searches reach the Web: one synchronous fetch at a time, with a
// request time-out in seconds, a proxy setting and cancellation. The libcurl
// fetcher keeps the window alive through the EventPump while it waits.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quexa {

// Processes pending window events: Qt's event loop in the window, signal
// checks on the command line, a scripted callback in tests.
class EventPump {
 public:
  virtual ~EventPump() = default;
  virtual void pump() = 0;
};

class NullPump : public EventPump {
 public:
  void pump() override {}
};

enum class FetchStatus {
  Ok,           // a body came back (it may be empty; an HTTP error page is Ok too)
  Timeout,      // the request outlasted its time-out (error 35761)
  Unreachable,  // the site or this page failed: no host, no connection, a broken answer
                // or address, a failed certificate (the page reads as empty)
  Failed,       // any other transfer failure
};

struct FetchResult {
  FetchStatus status = FetchStatus::Ok;
  std::string body;         // decoded to UTF-8 by the page's charset
  long httpStatus = 0;      // 0 when no response came
  std::string error;        // what went wrong, for the command line's progress
  std::string finalUrl;     // the address after redirects (empty when unknown)
  std::string redirectUrl;  // pages only: where a redirect, not followed, points
  std::string contentType;  // as the answer named it
  bool notPage = false;     // pages only: the answer was no page and was not read
};

// What a search makes of a fetched page before its match, apart from the
// search's own state (match/prepared_page.h).
struct PreparedPage;
// The search's work on one fetched page that depends on the page alone (its
// URL, for rules that resolve links against it, and its text). A fetcher
// that fetches ahead may run it on a worker thread for several pages at
// once: it must be safe for concurrent use and must touch nothing the search
// shares.
using PagePreparer =
    std::function<std::shared_ptr<PreparedPage>(const std::string& url, std::string_view text)>;

// A failure before any answer: what went wrong, for the progress.
inline FetchResult fetchFailure(FetchStatus status, std::string error) {
  FetchResult result;
  result.status = status;
  result.error = std::move(error);
  return result;
}

enum class AccessType { Default = 0, NamedProxy = 2 };

class Fetcher {
 public:
  virtual ~Fetcher() = default;
  virtual FetchResult fetch(const std::string& url, int timeoutSeconds) = 0;
  // Abandons the pending request at once; harmless when none is pending.
  virtual void cancel() = 0;
  virtual void setProxy(AccessType access, const std::string& proxyName) = 0;
  // URLs the caller will ask for next, in order. A fetcher that fetches ahead
  // may start them; a plain fetcher ignores the hint. Results never change.
  virtual void hintUpcoming(const std::vector<std::string>& urls) { (void)urls; }
  // The preparation of the pages fetched from now on (none: empty). A fetcher
  // may ignore it; the search then prepares each page itself.
  virtual void setPreparer(PagePreparer preparer) { (void)preparer; }
  // What the preparer made of the text the last fetch() returned, taken
  // once; null when there was no preparer or the fetch gave no body.
  virtual std::shared_ptr<PreparedPage> takePrepared() { return nullptr; }
  // Pages only (the standard link rules): an answer of 400 or more or of a
  // type that is no page is stopped at its first bytes and comes back Ok,
  // empty, with notPage set; redirects are not followed but told in
  // redirectUrl, for the crawl to decide. Off by default.
  virtual void setPagesOnly(bool on) { (void)on; }
};

}  // namespace quexa
