// The page fetcher over libcurl. A fetch looks synchronous to the search
// that calls it, but it drives the transfer itself and processes the
// window's pending events every 50 ms or sooner while it waits, so Stop, the
// close box and the busy lamp stay live.
#pragma once

#include <curl/curl.h>

#include <cstddef>
#include <string>

#include "net/fetcher.h"

namespace quexa {

// Bodies longer than this are cut here; the rest of the transfer is dropped.
inline constexpr size_t kMaxBodyBytes = 32u * 1024u * 1024u;
inline constexpr long kMaxRedirects = 10;
inline constexpr int kPumpIntervalMs = 50;
inline constexpr const char* kUserAgent = "Quexa/2.0";

// What fetch() reports in FetchResult::error when cancel() abandoned it.
inline constexpr const char* kCancelledError = "cancelled";

class CurlFetcher : public Fetcher {
 public:
  explicit CurlFetcher(EventPump& pump);
  ~CurlFetcher() override;
  CurlFetcher(const CurlFetcher&) = delete;
  CurlFetcher& operator=(const CurlFetcher&) = delete;

  // A time-out of 0 or less waits without limit (the user can still stop).
  // A cancelled fetch returns Ok with an empty body and kCancelledError, so
  // the searches treat it like an empty page.
  FetchResult fetch(const std::string& url, int timeoutSeconds) override;
  // From inside the pump this abandons the running fetch at once.
  void cancel() override;
  void setProxy(AccessType access, const std::string& proxyName) override;
  void setPagesOnly(bool on) override { pagesOnly_ = on; }
  // For tests against a loopback TLS server: trust the certificates of this
  // file instead of the system's.
  void trustCertificates(const std::string& caFile);

 private:
  static size_t receiveBody(char* data, size_t size, size_t count, void* self);
  void applyProxy();
  CURLcode runTransfer();
  FetchResult resultOf(CURLcode code);

  EventPump& pump_;
  CURLM* multi_ = nullptr;  // one for the fetcher's life: it keeps the open connections
  CURL* easy_ = nullptr;    // reused for every fetch, so connections stay alive
  AccessType access_ = AccessType::Default;
  std::string proxyName_;
  bool fetching_ = false;
  bool cancelled_ = false;
  bool capped_ = false;  // the body reached kMaxBodyBytes and the rest was dropped
  bool pagesOnly_ = false;
  bool notPage_ = false;  // pages only: stopped at the first bytes of no page
  std::string body_;      // the bytes of the running fetch, as they came
  char errorText_[CURL_ERROR_SIZE] = {};
};

// Blanks sent as %20; nothing else of the URL changes.
std::string urlForWire(const std::string& url);

// What every page transfer shares: redirects, encodings, the user agent and
// the Web protocols only; and the proxy setting.
void setPageOptions(CURL* easy);
void setProxyOptions(CURL* easy, AccessType access, const std::string& proxyName);
// How a failed transfer is reported to the searches.
FetchStatus fetchStatusOf(CURLcode code);
// Starts libcurl once per program; throws QuexaError when it cannot.
void initTransfers();

}  // namespace quexa
