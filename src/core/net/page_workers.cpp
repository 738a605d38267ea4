#include "net/page_workers.h"

#include <algorithm>

#include "net/charset.h"

namespace quexa {

PreparedAnswer prepareAnswer(const std::string& url, std::string_view bytes,
                             std::string_view contentType, const PagePreparer& preparer) {
  PreparedAnswer answer;
  answer.text = decodePage(bytes, contentType);
  if (preparer) answer.prepared = preparer(url, answer.text);
  return answer;
}

PageJob::PageJob(std::string url, std::string bytes, std::string contentType, PagePreparer preparer)
    : url_(std::move(url)),
      bytes_(std::move(bytes)),
      contentType_(std::move(contentType)),
      preparer_(std::move(preparer)) {}

void PageJob::run() {
  answer_ = prepareAnswer(url_, bytes_, contentType_, preparer_);
  bytes_ = std::string();
}

PreparedAnswer PageJob::take() {
  int expected = kQueued;
  if (stage_.compare_exchange_strong(expected, kRunning, std::memory_order_acquire)) {
    run();
    stage_.store(kDone, std::memory_order_release);
  } else if (expected == kRunning) {
    std::unique_lock<std::mutex> lock(doneMutex_);
    doneSignal_.wait(lock, [this] { return stage_.load(std::memory_order_acquire) == kDone; });
  } else if (expected != kDone) {
    return {};
  }
  return std::move(answer_);
}

void PageJob::abandon() {
  int expected = kQueued;
  stage_.compare_exchange_strong(expected, kAbandoned, std::memory_order_relaxed);
}

void PageJob::runOnWorker() {
  int expected = kQueued;
  if (!stage_.compare_exchange_strong(expected, kRunning, std::memory_order_acquire)) return;
  run();
  {
    std::lock_guard<std::mutex> lock(doneMutex_);
    stage_.store(kDone, std::memory_order_release);
  }
  doneSignal_.notify_all();
}

PageWorkers::PageWorkers(int threads) {
  if (threads <= 0)
    threads = std::clamp(static_cast<int>(std::thread::hardware_concurrency()) - 1, 1, 3);
  for (int i = 0; i < threads; ++i) threads_.emplace_back([this] { work(); });
}

PageWorkers::~PageWorkers() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    queue_.clear();
  }
  wake_.notify_all();
  for (std::thread& t : threads_) t.join();
}

void PageWorkers::submit(std::shared_ptr<PageJob> job) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(std::move(job));
  }
  wake_.notify_one();
}

void PageWorkers::work() {
  for (;;) {
    std::shared_ptr<PageJob> job;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (stopping_) return;
      job = std::move(queue_.front());
      queue_.pop_front();
    }
    job->runOnWorker();
  }
}

}  // namespace quexa
