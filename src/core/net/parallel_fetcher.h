// A page fetcher with several connections. The search still asks for one
// page at a time, in its own order; the fetcher uses the hint of the pages
// that come next to start them early over the spare connections and keeps
// their answers until they are asked for. What the search sees is exactly
// what one connection would give it, only sooner. The pages that arrive
// ahead are decoded and prepared on worker threads meanwhile.
//
// Requires external synchronization: every call comes from the search's
// thread (the window's), which alone touches libcurl and the answers.
#pragma once

#include <curl/curl.h>

#include <list>
#include <memory>
#include <string>
#include <vector>

#include "net/fetcher.h"
#include "net/page_workers.h"

namespace quexa {

inline constexpr int kMinConnections = 1;
inline constexpr int kMaxConnections = 16;
inline constexpr int kDefaultConnections = 4;

class ParallelFetcher : public Fetcher {
 public:
  // connections is clamped to 1..16. Never more than that many transfers run
  // at once, to one host or to all together.
  ParallelFetcher(EventPump& pump, int connections);
  ~ParallelFetcher() override;
  ParallelFetcher(const ParallelFetcher&) = delete;
  ParallelFetcher& operator=(const ParallelFetcher&) = delete;

  // A kept answer for this URL, fetched with the same time-out, is handed
  // over (and forgotten); otherwise the page is fetched now. Cancelled
  // fetches answer like CurlFetcher's: Ok, empty, kCancelledError.
  FetchResult fetch(const std::string& url, int timeoutSeconds) override;
  // Abandons the running fetch, every early transfer and every kept answer.
  void cancel() override;
  void setProxy(AccessType access, const std::string& proxyName) override;
  void setPagesOnly(bool on) override { pagesOnly_ = on; }
  // The next URLs in the order they will be asked for. Early transfers for
  // URLs no longer named are dropped; at most 2 x connections answers are
  // kept or on their way.
  void hintUpcoming(const std::vector<std::string>& urls) override;

  // The pages fetched ahead are decoded and prepared on worker threads as
  // soon as they arrive; kept answers made with another preparer are dropped.
  void setPreparer(PagePreparer preparer) override;
  std::shared_ptr<PreparedPage> takePrepared() override { return std::move(lastPrepared_); }

  int connections() const { return connections_; }
  // Early answers kept or on their way, and transfers left to finish (for tests).
  size_t keptCount() const { return transfers_.size(); }

  struct Transfer;

 private:
  Transfer& startTransfer(const std::string& url, int timeoutSeconds);
  void releaseHandle(Transfer& transfer);
  void forget(std::list<std::unique_ptr<Transfer>>::iterator it);
  void dropTransfer(std::list<std::unique_ptr<Transfer>>::iterator it);
  void dropAll();
  void startHinted();
  void collectFinished();
  size_t runningCount() const;
  FetchResult waitFor(Transfer& transfer);
  FetchResult resultOf(Transfer& transfer);
  void prepareAhead(Transfer& transfer);

  EventPump& pump_;
  int connections_;
  CURLM* multi_ = nullptr;
  std::vector<CURL*> idleHandles_;  // reused, so each keeps its settings
  std::list<std::unique_ptr<Transfer>> transfers_;
  std::vector<std::string> hinted_;  // not yet started, in order
  int lastTimeout_ = 30;             // early transfers use the search's time-out
  bool timeoutKnown_ = false;        // set by the first fetch
  AccessType access_ = AccessType::Default;
  std::string proxyName_;
  bool fetching_ = false;
  bool cancelled_ = false;
  bool pagesOnly_ = false;
  PagePreparer preparer_;
  std::shared_ptr<PreparedPage> lastPrepared_;
  std::unique_ptr<PageWorkers> workers_;  // made when the first page arrives ahead
};

}  // namespace quexa
