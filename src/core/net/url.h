// Web addresses under the standard link rules: resolution of a link against
// its page (RFC 3986, through libcurl's URL parser), one normal spelling per
// address, and the crawl's scope. Only http and https addresses exist here;
// anything else is "no address" (nullopt).
//
// Every function is a pure function of its arguments: safe for concurrent use
// from any thread (libcurl's URL handles are per call; initTransfers() or a
// fetcher must have started libcurl before the first call).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <curl/curl.h>

namespace quexa {

// The one spelling of an address: scheme and host in lower case, the default
// port dropped, dot segments removed, the fragment dropped, an empty path
// made "/"; path and query keep their letter case.
std::optional<std::string> normalizeUrl(std::string_view url);

// A link as found on a page (an href or src value, references already
// decoded), resolved against base (the page's final address or its <base>)
// and normalized. Leading and trailing blanks are dropped and tabs and line
// ends inside removed; inner blanks and bytes above 127 are percent-encoded,
// as a browser sends them. Other schemes (mailto:, javascript:, ...) and
// links that are no address give nullopt.
std::optional<std::string> resolveUrl(std::string_view base, std::string_view link);

// A page's address parsed once, for resolving all of its links.
class BaseUrl {
 public:
  explicit BaseUrl(std::string_view base);
  ~BaseUrl();
  BaseUrl(const BaseUrl&) = delete;
  BaseUrl& operator=(const BaseUrl&) = delete;
  bool valid() const { return handle_ != nullptr; }
  // The base in its one spelling; empty when not valid.
  const std::string& spelling() const { return base_; }
  // resolveUrl against this base; nullopt for every link when not valid.
  std::optional<std::string> resolve(std::string_view link) const;

 private:
  std::optional<std::string> resolveFresh(const std::string& cleaned) const;

  CURLU* handle_ = nullptr;
  std::string base_;
  std::string curlBase_;  // the base as libcurl joins links to it
};

// Forgets this thread's remembered resolutions (BaseUrl::resolve keeps
// recent ones); for checks that a remembered answer is the one libcurl gives.
void forgetResolvedLinks();

// The host name of a normalized address, in lower case, without port.
std::string urlHost(std::string_view normalized);

// What makes two normalized addresses the same page: everything after
// "scheme://", so the same path over http and https is one page.
std::string_view pageKey(std::string_view normalized);

// The host of an index entry starting with "http://" or "https://" (in any
// letter case): its authority up to the first "/", "?" or "#", without user
// and port, in lower case. Empty for an entry of another kind.
std::string entryHost(std::string_view entry);

// "scheme://authority/robots.txt" of a normalized address.
std::string robotsUrlOf(std::string_view normalized);

// The path and query of a normalized address ("/" at least), what robots.txt
// rules are matched against.
std::string_view pathAndQuery(std::string_view normalized);

// An index entry starts with "http://" or "https://" (any letter case).
bool isWebAddress(std::string_view entry);

}  // namespace quexa
