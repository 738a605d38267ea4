// Stop while a host name is still being looked up: the fetch gives up at
// once and the window's events keep flowing, for both fetchers. Names under
// ".hang.test" are looked up by a resolver that answers only when the test
// lets it go; every other name goes to the system's resolver.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <netdb.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "net/curl_fetcher.h"
#include "net/parallel_fetcher.h"
#include "support/counting_pump.h"

namespace {

std::mutex hangLock;
std::condition_variable hangReleased;
int releases = 0;  // each test lets its own lookups go at its end

bool isHangingName(const char* node) {
  const std::string name = node != nullptr ? node : "";
  const std::string suffix = ".hang.test";
  return name.size() > suffix.size() &&
         name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

}  // namespace

// The program's own getaddrinfo comes before the C library's for libcurl's
// resolver thread too.
extern "C" int getaddrinfo(const char* node, const char* service, const struct addrinfo* hints,
                           struct addrinfo** result) {
  using Lookup = int (*)(const char*, const char*, const struct addrinfo*, struct addrinfo**);
  static const auto next = reinterpret_cast<Lookup>(dlsym(RTLD_NEXT, "getaddrinfo"));
  if (!isHangingName(node)) return next(node, service, hints, result);
  std::unique_lock<std::mutex> lock(hangLock);
  const int seen = releases;
  hangReleased.wait_for(lock, std::chrono::seconds(10), [seen] { return releases != seen; });
  return EAI_NONAME;
}

namespace quexa {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

struct HangingLookupTest : ::testing::TestWithParam<const char*> {
  void TearDown() override {
    {
      std::lock_guard<std::mutex> lock(hangLock);
      ++releases;
    }
    hangReleased.notify_all();
  }
};

TEST_P(HangingLookupTest, StopTakesEffectAtOnceAndEventsKeepFlowing) {
  test::CountingPump pump;
  std::unique_ptr<Fetcher> fetcher;
  if (std::string(GetParam()) == "single")
    fetcher = std::make_unique<CurlFetcher>(pump);
  else
    fetcher = std::make_unique<ParallelFetcher>(pump, 4);

  Clock::time_point last = Clock::now();
  Clock::duration longestGap{};
  Clock::time_point stoppedAt;
  pump.onPump = [&](int call) {
    const Clock::time_point now = Clock::now();
    longestGap = std::max(longestGap, now - last);
    last = now;
    if (call == 6) {
      stoppedAt = now;
      fetcher->cancel();
    }
  };
  // The page after it is fetched ahead and given up when the search stops.
  fetcher->hintUpcoming({"http://first.hang.test/", "http://second.hang.test/"});
  const FetchResult r = fetcher->fetch("http://first.hang.test/", 30);
  const Clock::duration stopTook = Clock::now() - stoppedAt;
  EXPECT_EQ(r.error, kCancelledError);
  // Goals: Stop shows within 0.3 s, no gap over 100 ms; the margins allow
  // for a loaded machine.
  EXPECT_LT(stopTook, milliseconds(1000));
  EXPECT_LT(longestGap, milliseconds(400));
  // Dropping the fetcher with lookups still running does not wait either.
  const Clock::time_point dropping = Clock::now();
  fetcher.reset();
  EXPECT_LT(Clock::now() - dropping, milliseconds(1000));
}

INSTANTIATE_TEST_SUITE_P(BothFetchers, HangingLookupTest, ::testing::Values("single", "parallel"));

}  // namespace
}  // namespace quexa
