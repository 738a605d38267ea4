#include "net/parallel_fetcher.h"

#include <algorithm>

#include "app/errors.h"
#include "net/charset.h"
#include "net/curl_fetcher.h"
#include "net/page_gate.h"

namespace quexa {

// One request on its own handle: started early for a hinted URL or now for
// the search itself.
struct ParallelFetcher::Transfer {
  std::string url;
  int timeoutSeconds = 0;
  CURL* easy = nullptr;
  std::string body;
  bool capped = false;  // the body reached kMaxBodyBytes and the rest was dropped
  bool pagesOnly = false;
  bool notPage = false;  // pages only: stopped at the first bytes of no page
  bool done = false;
  bool wanted = true;  // false: no longer hinted, left to finish and be forgotten
  CURLcode code = CURLE_OK;
  char errorText[CURL_ERROR_SIZE] = {};
  std::shared_ptr<PageJob> job;  // decoding and preparing on a worker, once arrived ahead

  static size_t receive(char* data, size_t size, size_t count, void* self) {
    auto* t = static_cast<Transfer*>(self);
    const size_t n = size * count;
    if (t->pagesOnly && t->body.empty() && !answerMayBePage(t->easy)) {
      t->notPage = true;
      return 0;
    }
    const size_t room = kMaxBodyBytes - t->body.size();
    if (n <= room) {
      t->body.append(data, n);
      return n;
    }
    t->body.append(data, room);
    t->capped = true;
    return 0;
  }
};

namespace {

using TransferList = std::list<std::unique_ptr<ParallelFetcher::Transfer>>;

TransferList::iterator findUrl(TransferList& transfers, const std::string& url) {
  return std::find_if(transfers.begin(), transfers.end(),
                      [&](const auto& t) { return t->wanted && t->url == url; });
}

}  // namespace

ParallelFetcher::ParallelFetcher(EventPump& pump, int connections)
    : pump_(pump), connections_(std::clamp(connections, kMinConnections, kMaxConnections)) {
  initTransfers();
  multi_ = curl_multi_init();
  if (multi_ == nullptr)
    throw QuexaError(ErrorKind::ControlOutOfMemory, "the transfer could not be set up");
  curl_multi_setopt(multi_, CURLMOPT_MAX_HOST_CONNECTIONS, static_cast<long>(connections_));
  curl_multi_setopt(multi_, CURLMOPT_MAX_TOTAL_CONNECTIONS, static_cast<long>(connections_));
  curl_multi_setopt(multi_, CURLMOPT_MAXCONNECTS, static_cast<long>(connections_));
}

ParallelFetcher::~ParallelFetcher() {
  dropAll();
  workers_.reset();
  for (CURL* easy : idleHandles_) curl_easy_cleanup(easy);
  curl_multi_cleanup(multi_);
}

void ParallelFetcher::setProxy(AccessType access, const std::string& proxyName) {
  access_ = access;
  proxyName_ = proxyName;
}

size_t ParallelFetcher::runningCount() const {
  return static_cast<size_t>(
      std::count_if(transfers_.begin(), transfers_.end(), [](const auto& t) { return !t->done; }));
}

ParallelFetcher::Transfer& ParallelFetcher::startTransfer(const std::string& url,
                                                          int timeoutSeconds) {
  CURL* easy = nullptr;
  if (!idleHandles_.empty()) {
    easy = idleHandles_.back();
    idleHandles_.pop_back();
  } else {
    easy = curl_easy_init();
    if (easy == nullptr)
      throw QuexaError(ErrorKind::ControlOutOfMemory, "the transfer could not be set up");
    setPageOptions(easy);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Transfer::receive);
  }
  auto transfer = std::make_unique<Transfer>();
  transfer->url = url;
  transfer->timeoutSeconds = timeoutSeconds;
  transfer->easy = easy;
  transfer->pagesOnly = pagesOnly_;
  setFollowRedirects(easy, pagesOnly_);
  const std::string wire = urlForWire(url);
  curl_easy_setopt(easy, CURLOPT_URL, wire.c_str());
  curl_easy_setopt(easy, CURLOPT_TIMEOUT, static_cast<long>(std::max(timeoutSeconds, 0)));
  curl_easy_setopt(easy, CURLOPT_WRITEDATA, transfer.get());
  curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, transfer->errorText);
  curl_easy_setopt(easy, CURLOPT_PRIVATE, transfer.get());
  setProxyOptions(easy, access_, proxyName_);
  curl_multi_add_handle(multi_, easy);
  transfers_.push_back(std::move(transfer));
  return *transfers_.back();
}

void ParallelFetcher::releaseHandle(Transfer& t) {
  if (!t.done) curl_multi_remove_handle(multi_, t.easy);
  // The handle outlives the transfer: it must point at nothing of it.
  curl_easy_setopt(t.easy, CURLOPT_WRITEDATA, nullptr);
  curl_easy_setopt(t.easy, CURLOPT_ERRORBUFFER, nullptr);
  curl_easy_setopt(t.easy, CURLOPT_PRIVATE, nullptr);
  idleHandles_.push_back(t.easy);
  t.easy = nullptr;
}

void ParallelFetcher::dropTransfer(TransferList::iterator it) {
  if ((*it)->job) (*it)->job->abandon();
  releaseHandle(**it);
  transfers_.erase(it);
}

void ParallelFetcher::dropAll() {
  while (!transfers_.empty()) dropTransfer(transfers_.begin());
  hinted_.clear();
}

void ParallelFetcher::cancel() {
  cancelled_ = fetching_;
  dropAll();
}

void ParallelFetcher::collectFinished() {
  int running = 0;
  curl_multi_perform(multi_, &running);
  int queued = 0;
  while (CURLMsg* message = curl_multi_info_read(multi_, &queued)) {
    if (message->msg != CURLMSG_DONE) continue;
    Transfer* t = nullptr;
    curl_easy_getinfo(message->easy_handle, CURLINFO_PRIVATE, &t);
    const CURLcode code = message->data.result;
    curl_multi_remove_handle(multi_, message->easy_handle);  // frees the slot
    if (t != nullptr) {
      t->done = true;
      t->code = code;
    }
  }
  for (auto it = transfers_.begin(); it != transfers_.end();) {
    auto next = std::next(it);
    if ((*it)->done && !(*it)->wanted)
      dropTransfer(it);
    else if ((*it)->done && !(*it)->job)
      prepareAhead(**it);
    it = next;
  }
}

// A page that arrived ahead goes to the workers at once; when the search asks
// for it, its text is ready or nearly so.
void ParallelFetcher::prepareAhead(Transfer& t) {
  if (!(t.code == CURLE_OK || (t.code == CURLE_WRITE_ERROR && t.capped))) return;
  if (t.notPage || (t.pagesOnly && !answerMayBePage(t.easy))) return;  // never read
  char* contentType = nullptr;
  curl_easy_getinfo(t.easy, CURLINFO_CONTENT_TYPE, &contentType);
  t.job = std::make_shared<PageJob>(t.url, std::move(t.body),
                                    contentType != nullptr ? contentType : "", preparer_);
  t.body = std::string();
  if (!workers_) workers_ = std::make_unique<PageWorkers>();
  workers_->submit(t.job);
}

void ParallelFetcher::setPreparer(PagePreparer preparer) {
  // Kept answers were prepared for another page's search.
  dropAll();
  preparer_ = std::move(preparer);
}

// A running transfer is not broken off when it is no longer wanted: the
// server would go on serving it, and the connections to a host would add up
// to more than the fetcher's number. It finishes and is forgotten.
void ParallelFetcher::forget(TransferList::iterator it) {
  if ((*it)->done)
    dropTransfer(it);
  else
    (*it)->wanted = false;
}

// Fills the free connections with the next hinted URLs, within the cap on
// kept answers.
void ParallelFetcher::startHinted() {
  if (!timeoutKnown_) return;  // early transfers wait for the search's time-out
  const size_t keptCap = 2 * static_cast<size_t>(connections_);
  bool started = false;
  while (!hinted_.empty() && runningCount() < static_cast<size_t>(connections_) &&
         transfers_.size() < keptCap) {
    const std::string url = hinted_.front();
    hinted_.erase(hinted_.begin());
    if (findUrl(transfers_, url) != transfers_.end()) continue;
    startTransfer(url, lastTimeout_);
    started = true;
  }
  if (started) collectFinished();  // sends the new requests at once
}

void ParallelFetcher::hintUpcoming(const std::vector<std::string>& urls) {
  const size_t keptCap = 2 * static_cast<size_t>(connections_);
  std::vector<std::string> wanted;
  for (const std::string& url : urls) {
    if (wanted.size() == keptCap) break;
    if (std::find(wanted.begin(), wanted.end(), url) == wanted.end()) wanted.push_back(url);
  }
  for (auto it = transfers_.begin(); it != transfers_.end();) {
    auto next = std::next(it);
    if ((*it)->wanted && std::find(wanted.begin(), wanted.end(), (*it)->url) == wanted.end())
      forget(it);
    it = next;
  }
  hinted_.clear();
  for (const std::string& url : wanted)
    if (findUrl(transfers_, url) == transfers_.end()) hinted_.push_back(url);
  startHinted();
}

FetchResult ParallelFetcher::fetch(const std::string& url, int timeoutSeconds) {
  if (fetching_) return fetchFailure(FetchStatus::Failed, "a fetch is already running");
  lastPrepared_.reset();
  fetching_ = true;
  cancelled_ = false;
  lastTimeout_ = timeoutSeconds;
  timeoutKnown_ = true;
  // The answer is used once: a retry of this URL is a new request.
  hinted_.erase(std::remove(hinted_.begin(), hinted_.end(), url), hinted_.end());
  auto it = findUrl(transfers_, url);
  if (it != transfers_.end() && (*it)->timeoutSeconds != timeoutSeconds) {
    forget(it);
    it = transfers_.end();
  }
  if (it == transfers_.end()) {
    // When every connection is busy, libcurl holds this request until one
    // is free (the multi handle's connection limit).
    startTransfer(url, timeoutSeconds);
    it = std::prev(transfers_.end());
  }
  // Out of the list, so a cancel from the pump cannot take it away.
  std::unique_ptr<Transfer> current = std::move(*it);
  transfers_.erase(it);
  FetchResult result;
  try {
    result = waitFor(*current);
  } catch (...) {
    releaseHandle(*current);
    fetching_ = false;
    throw;
  }
  releaseHandle(*current);
  fetching_ = false;
  return result;
}

FetchResult ParallelFetcher::waitFor(Transfer& transfer) {
  for (;;) {
    if (!transfer.done) collectFinished();
    if (transfer.done) return resultOf(transfer);
    startHinted();
    if (transfer.done) return resultOf(transfer);
    if (curl_multi_poll(multi_, nullptr, 0, kPumpIntervalMs, nullptr) != CURLM_OK)
      return fetchFailure(FetchStatus::Failed, "the transfer could not be driven");
    pump_.pump();
    if (cancelled_) {
      FetchResult result;
      result.error = kCancelledError;
      return result;
    }
  }
}

FetchResult ParallelFetcher::resultOf(Transfer& t) {
  FetchResult result;
  curl_easy_getinfo(t.easy, CURLINFO_RESPONSE_CODE, &result.httpStatus);
  noteAnswerFacts(t.easy, result);
  if (t.notPage || (t.pagesOnly && t.code == CURLE_OK && !answerMayBePage(t.easy))) {
    result.notPage = true;
    return result;
  }
  if (t.code == CURLE_OK || (t.code == CURLE_WRITE_ERROR && t.capped)) {
    PreparedAnswer answer;
    if (t.job) {
      answer = t.job->take();
    } else {
      char* contentType = nullptr;
      curl_easy_getinfo(t.easy, CURLINFO_CONTENT_TYPE, &contentType);
      answer = prepareAnswer(t.url, t.body, contentType != nullptr ? contentType : "", preparer_);
    }
    result.body = std::move(answer.text);
    lastPrepared_ = std::move(answer.prepared);
    return result;
  }
  result.status = fetchStatusOf(t.code);
  result.error = t.errorText[0] != '\0' ? t.errorText : curl_easy_strerror(t.code);
  return result;
}

}  // namespace quexa
