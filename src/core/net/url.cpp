#include "net/url.h"

#include <curl/curl.h>

#include <memory>
#include <unordered_map>

#include "app/text.h"

namespace quexa {

namespace {

struct UrlDeleter {
  void operator()(CURLU* h) const { curl_url_cleanup(h); }
};
using UrlHandle = std::unique_ptr<CURLU, UrlDeleter>;

struct CurlText {
  char* text = nullptr;
  ~CurlText() { curl_free(text); }
};

// Links longer than this are no Web address a site means to be followed.
constexpr size_t kLongestLink = 8192;

bool isWebScheme(std::string_view scheme) {
  return scheme == "http" || scheme == "https";
}

bool isAsciiBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// What a browser does to an attribute value before parsing it: blanks at the
// ends dropped, tabs and line ends removed, inner blanks and bytes above 127
// percent-encoded. Other control characters make it no address.
std::optional<std::string> cleanLink(std::string_view link) {
  while (!link.empty() && isAsciiBlank(link.front())) link.remove_prefix(1);
  while (!link.empty() && isAsciiBlank(link.back())) link.remove_suffix(1);
  if (link.size() > kLongestLink) return std::nullopt;
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(link.size());
  for (char ch : link) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\t' || c == '\n' || c == '\r') continue;
    if (c < 0x20 || c == 0x7f) return std::nullopt;
    if (c == ' ' || c >= 0x80) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += ch;
    }
  }
  return out;
}

// The handle's address in its one spelling, or nullopt.
std::optional<std::string> normalSpelling(CURLU* h) {
  CurlText scheme;
  if (curl_url_get(h, CURLUPART_SCHEME, &scheme.text, 0) != CURLUE_OK) return std::nullopt;
  if (!isWebScheme(scheme.text)) return std::nullopt;
  CurlText host;
  if (curl_url_get(h, CURLUPART_HOST, &host.text, 0) != CURLUE_OK) return std::nullopt;
  const std::string lowerHost = lowerSameLength(host.text);
  if (lowerHost.empty()) return std::nullopt;
  if (curl_url_set(h, CURLUPART_HOST, lowerHost.c_str(), 0) != CURLUE_OK) return std::nullopt;
  if (curl_url_set(h, CURLUPART_FRAGMENT, nullptr, 0) != CURLUE_OK) return std::nullopt;
  CurlText url;
  if (curl_url_get(h, CURLUPART_URL, &url.text, CURLU_NO_DEFAULT_PORT) != CURLUE_OK)
    return std::nullopt;
  return std::string(url.text);
}

// Resolving a link costs microseconds in libcurl, and a site links the same
// addresses from page after page: each thread keeps its recent answers. The
// key holds all of the base that the answer depends on (RFC 3986, 5.2):
// nothing for an absolute http(s) link, the scheme and authority for a link
// from the root, the directory for a relative path from a base without query
// or fragment, and the whole base for anything else.
std::string memoKey(std::string_view curlBase, std::string_view link) {
  std::string key;
  const auto keyed = [&](char kind, std::string_view basePart) {
    key.reserve(basePart.size() + link.size() + 2);
    key += kind;
    key.append(basePart);
    key += '\0';
    key.append(link);
    return key;
  };
  if (isWebAddress(link)) return keyed('a', "");
  const size_t authority = curlBase.find("://");
  if (authority == std::string_view::npos) return keyed('w', curlBase);
  const size_t pathStart = curlBase.find_first_of("/?#", authority + 3);
  if (link.size() >= 1 && link[0] == '/' && (link.size() == 1 || link[1] != '/'))
    return keyed('r', curlBase.substr(0, pathStart));
  const bool plainBase = pathStart != std::string_view::npos && curlBase[pathStart] == '/' &&
                         curlBase.find_first_of("?#", pathStart) == std::string_view::npos;
  const size_t pathEnd = link.find_first_of("/?#");
  const bool relativePath = !link.empty() && link[0] != '/' && link[0] != '?' &&
                            link.substr(0, pathEnd).find(':') == std::string_view::npos;
  if (plainBase && relativePath) return keyed('d', curlBase.substr(0, curlBase.rfind('/') + 1));
  return keyed('w', curlBase);
}

constexpr size_t kRememberedLinks = 16384;

std::unordered_map<std::string, std::optional<std::string>>& rememberedLinks() {
  thread_local std::unordered_map<std::string, std::optional<std::string>> remembered;
  return remembered;
}

}  // namespace

void forgetResolvedLinks() {
  rememberedLinks().clear();
}

BaseUrl::BaseUrl(std::string_view base) {
  const std::optional<std::string> cleaned = cleanLink(base);
  if (!cleaned) return;
  CURLU* h = curl_url();
  if (h != nullptr && curl_url_set(h, CURLUPART_URL, cleaned->c_str(), 0) == CURLUE_OK) {
    handle_ = h;
    CurlText joined;
    if (curl_url_get(h, CURLUPART_URL, &joined.text, 0) == CURLUE_OK) curlBase_ = joined.text;
    if (std::optional<std::string> spelled = resolve("")) base_ = std::move(*spelled);
  } else {
    curl_url_cleanup(h);
  }
  if (base_.empty()) {
    curl_url_cleanup(handle_);
    handle_ = nullptr;
  }
}

BaseUrl::~BaseUrl() {
  curl_url_cleanup(handle_);
}

std::optional<std::string> BaseUrl::resolve(std::string_view link) const {
  if (handle_ == nullptr) return std::nullopt;
  const std::optional<std::string> cleaned = cleanLink(link);
  if (!cleaned) return std::nullopt;
  if (cleaned->empty() || cleaned->front() == '#' || curlBase_.empty())
    return resolveFresh(*cleaned);
  auto& remembered = rememberedLinks();
  std::string key = memoKey(curlBase_, *cleaned);
  if (auto known = remembered.find(key); known != remembered.end()) return known->second;
  std::optional<std::string> resolved = resolveFresh(*cleaned);
  if (remembered.size() >= kRememberedLinks) remembered.clear();
  remembered.emplace(std::move(key), resolved);
  return resolved;
}

std::optional<std::string> BaseUrl::resolveFresh(const std::string& cleaned) const {
  UrlHandle h(curl_url_dup(handle_));
  if (!h) return std::nullopt;
  // An empty link or a bare fragment is the page itself; anything else is
  // resolved against the base, and an absolute link replaces it.
  if (!cleaned.empty() && cleaned.front() != '#' &&
      curl_url_set(h.get(), CURLUPART_URL, cleaned.c_str(), 0) != CURLUE_OK)
    return std::nullopt;
  return normalSpelling(h.get());
}

std::optional<std::string> normalizeUrl(std::string_view url) {
  BaseUrl base(url);
  if (!base.valid()) return std::nullopt;
  return base.spelling();
}

std::optional<std::string> resolveUrl(std::string_view base, std::string_view link) {
  return BaseUrl(base).resolve(link);
}

std::string urlHost(std::string_view normalized) {
  const size_t start = normalized.find("://");
  if (start == std::string_view::npos) return "";
  std::string_view rest = normalized.substr(start + 3);
  rest = rest.substr(0, rest.find_first_of("/?#"));
  const size_t at = rest.rfind('@');
  if (at != std::string_view::npos) rest.remove_prefix(at + 1);
  if (!rest.empty() && rest.front() == '[') return std::string(rest.substr(0, rest.find(']') + 1));
  return lowerSameLength(rest.substr(0, rest.find(':')));
}

std::string_view pageKey(std::string_view normalized) {
  const size_t start = normalized.find("://");
  return start == std::string_view::npos ? normalized : normalized.substr(start + 3);
}

bool isWebAddress(std::string_view entry) {
  const std::string head = lowerSameLength(entry.substr(0, 8));
  return startsWith(head, "http://") || startsWith(head, "https://");
}

std::string entryHost(std::string_view entry) {
  if (!isWebAddress(entry)) return "";
  return urlHost(entry);
}

std::string_view pathAndQuery(std::string_view normalized) {
  const size_t start = normalized.find("://");
  if (start == std::string_view::npos) return "/";
  const size_t path = normalized.find_first_of("/?", start + 3);
  return path == std::string_view::npos ? std::string_view("/") : normalized.substr(path);
}

std::string robotsUrlOf(std::string_view normalized) {
  const size_t start = normalized.find("://");
  const size_t path = start == std::string_view::npos ? normalized.size()
                                                      : normalized.find_first_of("/?", start + 3);
  return std::string(normalized.substr(0, path)) + "/robots.txt";
}

}  // namespace quexa
