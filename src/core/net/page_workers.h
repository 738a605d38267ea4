// Worker threads for the work on a fetched page that depends on the page
// alone: its decoding and what the search's preparer makes of it (the body
// cut, the links it names). A crawl over several connections does this for
// the pages fetched ahead while the window's thread matches the page before
// them, so the crawl uses more than one core. The results are taken in the
// search's own order on the window's thread; nothing a worker does is seen
// before that.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "net/fetcher.h"

namespace quexa {

// A page's bytes to UTF-8 text by its charset, then the preparer's share.
// Safe for concurrent use when the preparer is.
struct PreparedAnswer {
  std::string text;
  std::shared_ptr<PreparedPage> prepared;  // null without a preparer
};
PreparedAnswer prepareAnswer(const std::string& url, std::string_view bytes,
                             std::string_view contentType, const PagePreparer& preparer);

// One page's work, shared by the window's thread and a worker. Whoever
// claims it first runs it.
class PageJob {
 public:
  PageJob(std::string url, std::string bytes, std::string contentType, PagePreparer preparer);

  // The window's thread: runs the job here when no worker has started it,
  // else waits for the worker (one page's work at most). Returns the answer
  // once; later calls return an empty one.
  PreparedAnswer take();
  // The window's thread: the answer is no longer wanted; a worker that has
  // not started the job skips it.
  void abandon();
  // A worker: runs the job unless it is claimed or abandoned.
  void runOnWorker();

 private:
  enum Stage : int { kQueued, kRunning, kDone, kAbandoned };
  void run();

  std::string url_;
  std::string bytes_;
  std::string contentType_;
  PagePreparer preparer_;
  PreparedAnswer answer_;
  std::atomic<int> stage_{kQueued};
  std::mutex doneMutex_;  // only to wait for a worker that runs the job
  std::condition_variable doneSignal_;
};

// The threads that run page jobs, in the order they were given. submit is
// for the window's thread; the destructor drops jobs not yet started and
// waits for the ones running (one page's work each).
class PageWorkers {
 public:
  // threads 0: one fewer than the machine's cores, at least 1, at most 3.
  explicit PageWorkers(int threads = 0);
  ~PageWorkers();
  PageWorkers(const PageWorkers&) = delete;
  PageWorkers& operator=(const PageWorkers&) = delete;

  void submit(std::shared_ptr<PageJob> job);

 private:
  void work();

  std::mutex mutex_;  // guards queue_ and stopping_; held only to push or pop
  std::condition_variable wake_;
  std::deque<std::shared_ptr<PageJob>> queue_;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace quexa
