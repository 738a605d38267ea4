#include "net/curl_fetcher.h"

#include <algorithm>

#include "app/errors.h"
#include "net/charset.h"
#include "net/page_gate.h"

namespace quexa {

namespace {

void initCurlOnce() {
  static const bool initialised = [] {
    return curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  }();
  if (!initialised) throw QuexaError(ErrorKind::LibraryNotLoadable, "libcurl could not start");
}

// Failures of one page, not of the search: the site is not there right now,
// or this page or its link is broken (a control character in the address, a
// redirect off the Web or past the limit, a short or badly compressed body,
// an answer that is no HTTP, a certificate that fails). The searches treat
// them like an empty answer, so one bad page does not end a search.
bool isUnreachable(CURLcode code) {
  switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_PROXY:
    case CURLE_URL_MALFORMAT:
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_TOO_MANY_REDIRECTS:
    case CURLE_PARTIAL_FILE:
    case CURLE_BAD_CONTENT_ENCODING:
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
      return true;
    default:
      return false;
  }
}

FetchStatus statusOf(CURLcode code) {
  if (code == CURLE_OPERATION_TIMEDOUT) return FetchStatus::Timeout;
  if (isUnreachable(code)) return FetchStatus::Unreachable;
  return FetchStatus::Failed;
}

// Takes the handle out of the multi handle however the transfer loop is
// left, so the next fetch can add it again.
struct AddedHandle {
  CURLM* multi;
  CURL* easy;
  AddedHandle(CURLM* m, CURL* e) : multi(m), easy(e) { curl_multi_add_handle(multi, easy); }
  ~AddedHandle() { curl_multi_remove_handle(multi, easy); }
  AddedHandle(const AddedHandle&) = delete;
  AddedHandle& operator=(const AddedHandle&) = delete;
};

}  // namespace

void setPageOptions(CURL* easy) {
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(easy, CURLOPT_MAXREDIRS, kMaxRedirects);
  curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");
  curl_easy_setopt(easy, CURLOPT_USERAGENT, kUserAgent);
  curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
#if LIBCURL_VERSION_NUM >= 0x075700
  // A transfer given up while its host name is still being looked up (Stop,
  // a fetch-ahead no longer wanted) leaves the lookup to finish on its own
  // thread; waiting for it would freeze the window for seconds.
  curl_easy_setopt(easy, CURLOPT_QUICK_EXIT, 1L);
#endif
  // URLs come from index files, pages and links: only the Web, never a
  // local file or another protocol.
  curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  // The URL goes out as it was given (only blanks are encoded).
  curl_easy_setopt(easy, CURLOPT_PATH_AS_IS, 1L);
}

void setProxyOptions(CURL* easy, AccessType access, const std::string& proxyName) {
  if (access == AccessType::NamedProxy && !proxyName.empty()) {
    curl_easy_setopt(easy, CURLOPT_PROXY, proxyName.c_str());
    // A proxy named without a port is an HTTP proxy on port 80.
    curl_easy_setopt(easy, CURLOPT_PROXYPORT, 80L);
    // The named proxy carries every request, whatever the environment says.
    curl_easy_setopt(easy, CURLOPT_NOPROXY, "");
  } else {
    // Back to libcurl's default, which follows the usual proxy variables.
    curl_easy_setopt(easy, CURLOPT_PROXY, nullptr);
    curl_easy_setopt(easy, CURLOPT_PROXYPORT, 0L);
    curl_easy_setopt(easy, CURLOPT_NOPROXY, nullptr);
  }
}

FetchStatus fetchStatusOf(CURLcode code) {
  return statusOf(code);
}

void initTransfers() {
  initCurlOnce();
}

std::string urlForWire(const std::string& url) {
  std::string wire;
  wire.reserve(url.size());
  for (char c : url) {
    if (c == ' ')
      wire += "%20";
    else
      wire += c;
  }
  return wire;
}

CurlFetcher::CurlFetcher(EventPump& pump) : pump_(pump) {
  initCurlOnce();
  multi_ = curl_multi_init();
  easy_ = curl_easy_init();
  if (multi_ == nullptr || easy_ == nullptr) {
    if (easy_ != nullptr) curl_easy_cleanup(easy_);
    if (multi_ != nullptr) curl_multi_cleanup(multi_);
    throw QuexaError(ErrorKind::ControlOutOfMemory, "the transfer could not be set up");
  }
  curl_easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &CurlFetcher::receiveBody);
  curl_easy_setopt(easy_, CURLOPT_WRITEDATA, this);
  curl_easy_setopt(easy_, CURLOPT_ERRORBUFFER, errorText_);
  setPageOptions(easy_);
}

CurlFetcher::~CurlFetcher() {
  curl_easy_cleanup(easy_);
  curl_multi_cleanup(multi_);
}

size_t CurlFetcher::receiveBody(char* data, size_t size, size_t count, void* self) {
  auto* fetcher = static_cast<CurlFetcher*>(self);
  const size_t n = size * count;
  if (fetcher->pagesOnly_ && fetcher->body_.empty() && !answerMayBePage(fetcher->easy_)) {
    fetcher->notPage_ = true;
    return 0;  // ends the transfer; resultOf() knows the stop was ours
  }
  const size_t room = kMaxBodyBytes - fetcher->body_.size();
  if (n <= room) {
    fetcher->body_.append(data, n);
    return n;
  }
  fetcher->body_.append(data, room);
  fetcher->capped_ = true;
  return 0;  // ends the transfer; resultOf() knows the cut was ours
}

void CurlFetcher::trustCertificates(const std::string& caFile) {
  curl_easy_setopt(easy_, CURLOPT_CAINFO, caFile.c_str());
}

void CurlFetcher::setProxy(AccessType access, const std::string& proxyName) {
  access_ = access;
  proxyName_ = proxyName;
}

void CurlFetcher::applyProxy() {
  setProxyOptions(easy_, access_, proxyName_);
}

void CurlFetcher::cancel() {
  cancelled_ = fetching_;
}

FetchResult CurlFetcher::fetch(const std::string& url, int timeoutSeconds) {
  if (fetching_) return fetchFailure(FetchStatus::Failed, "a fetch is already running");
  fetching_ = true;
  cancelled_ = false;
  capped_ = false;
  notPage_ = false;
  body_.clear();
  errorText_[0] = '\0';

  const std::string wire = urlForWire(url);
  curl_easy_setopt(easy_, CURLOPT_URL, wire.c_str());
  curl_easy_setopt(easy_, CURLOPT_TIMEOUT, static_cast<long>(std::max(timeoutSeconds, 0)));
  setFollowRedirects(easy_, pagesOnly_);
  applyProxy();

  CURLcode code = CURLE_OK;
  try {
    code = runTransfer();
  } catch (...) {
    fetching_ = false;
    throw;
  }
  fetching_ = false;
  FetchResult result = resultOf(code);
  std::string().swap(body_);
  return result;
}

CURLcode CurlFetcher::runTransfer() {
  AddedHandle added(multi_, easy_);
  for (;;) {
    int running = 0;
    if (curl_multi_perform(multi_, &running) != CURLM_OK) return CURLE_FAILED_INIT;
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_, &queued)) {
      if (message->msg == CURLMSG_DONE && message->easy_handle == easy_)
        return message->data.result;
    }
    if (curl_multi_poll(multi_, nullptr, 0, kPumpIntervalMs, nullptr) != CURLM_OK)
      return CURLE_FAILED_INIT;
    pump_.pump();
    if (cancelled_) return CURLE_ABORTED_BY_CALLBACK;
  }
}

FetchResult CurlFetcher::resultOf(CURLcode code) {
  FetchResult result;
  if (cancelled_) {
    result.error = kCancelledError;
    return result;
  }
  curl_easy_getinfo(easy_, CURLINFO_RESPONSE_CODE, &result.httpStatus);
  noteAnswerFacts(easy_, result);
  if (notPage_ || (pagesOnly_ && code == CURLE_OK && !answerMayBePage(easy_))) {
    result.notPage = true;
    return result;
  }
  if (code == CURLE_OK || (code == CURLE_WRITE_ERROR && capped_)) {
    char* contentType = nullptr;
    curl_easy_getinfo(easy_, CURLINFO_CONTENT_TYPE, &contentType);
    result.body = decodePage(body_, contentType != nullptr ? contentType : "");
    return result;
  }
  result.status = statusOf(code);
  result.error = errorText_[0] != '\0' ? errorText_ : curl_easy_strerror(code);
  return result;
}

}  // namespace quexa
