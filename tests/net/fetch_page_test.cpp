// The fetch rules: empty answers retried, time-outs retried with a longer
// time-out, stops seen in both rules, and failures that end the search; then
// quexa-cli fetch over them: the page from its body tag on, the server-error
// flag, a broken page told on stderr, and the exit status of a bad number.
#include <gtest/gtest.h>

#include <deque>

#include "app/errors.h"
#include "app/transcript.h"
#include "net/curl_fetcher.h"
#include "net/fetch_page.h"
#include "support/cli_transcript.h"
#include "support/counting_pump.h"
#include "support/http_test_server.h"
#include "support/scratch_dir.h"
#include "support/window_events.h"

namespace quexa {
namespace {

using test::CountingPump;
using test::HttpTestServer;
using Kind = TranscriptEvent::Kind;

EndReason endReasonOf(const std::function<void()>& step) {
  try {
    step();
  } catch (const SearchEnd& end) {
    return end.reason();
  }
  ADD_FAILURE() << "the search went on";
  return EndReason::Completed;
}

std::vector<std::string> statusTexts(const TranscriptWindow& window) {
  return test::eventTexts(window, Kind::Status);
}

void configure(FetchSession& session, const std::string& timeout, const std::string& retry,
               const std::string& proxy = "") {
  Settings settings;
  settings.timeoutText = timeout;
  settings.retryText = retry;
  settings.proxyText = proxy;
  configureTransfer(session, settings);
}

// The rules over a real fetcher and a loopback server.
struct FetchPageTest : ::testing::Test {
  HttpTestServer server;
  CountingPump fetcherPump;  // what the fetcher runs while it waits
  CountingPump rulePump;     // what the empty-answer rule runs between retries
  CurlFetcher fetcher{fetcherPump};
  TranscriptWindow window;
  AppState state;
  FetchSession session{fetcher, rulePump, window, state};
  std::vector<std::string> attempts;

  void configure(const std::string& timeout, const std::string& retry) {
    quexa::configure(session, timeout, retry);
    session.onAttempt = [this](const std::string& url) { attempts.push_back(url); };
  }
};

TEST_F(FetchPageTest, EmptyAnswersAreAskedAgainUpToTheRetrySettingOrAStopAndAStopEndsATimeout) {
  server.on("/empty", HttpTestServer::emptyBody());
  server.on("/silent", server.silence());
  server.start();
  configure("2", "10");
  EXPECT_EQ(fetchPage(session, server.url("/empty")), "");
  EXPECT_EQ(server.requestCount("/empty"), 11u);
  EXPECT_EQ(attempts.size(), 11u);
  EXPECT_EQ(rulePump.count, 10);
  EXPECT_EQ(session.emptyRetries, 0);
  EXPECT_EQ(session.pagesFetched, 1);

  rulePump.onPump = [this](int) { state.stopRequest = 1; };
  EXPECT_EQ(fetchPage(session, server.url("/empty")), "");
  EXPECT_EQ(server.requestCount("/empty"), 13u);
  EXPECT_EQ(session.pagesFetched, 2);

  // Stop during a timed-out request ends the search as stopped.
  state.stopRequest = 0;
  rulePump.onPump = nullptr;
  configure("1", "3");
  // The Stop button, pressed while the fetch waits.
  fetcherPump.onPump = [this](int) { state.stopRequest = 1; };
  EXPECT_EQ(endReasonOf([&] { fetchPage(session, server.url("/silent")); }), EndReason::Stopped);
  EXPECT_EQ(server.requestCount("/silent"), 1u);
  EXPECT_EQ(window.status, "Communication request timed out! Retry -  1 time(s).");
}

// A fetcher that answers from a script and notes the time-out of each
// request, so the growth of the time-out can be seen without waiting.
struct ScriptedFetcher : Fetcher {
  std::deque<FetchResult> answers;
  std::vector<int> timeouts;
  int cancels = 0;
  AccessType access = AccessType::Default;
  std::string proxyName = "unset";

  FetchResult fetch(const std::string&, int timeoutSeconds) override {
    timeouts.push_back(timeoutSeconds);
    if (answers.empty()) return {};
    FetchResult r = answers.front();
    answers.pop_front();
    return r;
  }
  void cancel() override { ++cancels; }
  void setProxy(AccessType a, const std::string& name) override {
    access = a;
    proxyName = name;
  }
};

struct FetchRulesTest : ::testing::Test {
  ScriptedFetcher fetcher;
  NullPump pump;
  TranscriptWindow window;
  AppState state;
  FetchSession session{fetcher, pump, window, state};

  void configure(const std::string& timeout, const std::string& retry,
                 const std::string& proxy = "") {
    quexa::configure(session, timeout, retry, proxy);
  }
  void answer(FetchStatus status, const std::string& body = "", int times = 1) {
    FetchResult result;
    result.status = status;
    result.body = body;
    for (int i = 0; i < times; ++i) fetcher.answers.push_back(result);
  }
};

TEST_F(FetchRulesTest, EachTimeoutRetryWaitsLongerByThreeTimesItsNumber) {
  configure("30", "3");
  answer(FetchStatus::Timeout, "", 4);
  EXPECT_EQ(endReasonOf([&] { fetchPage(session, "http://silent.test/"); }), EndReason::Failed);
  EXPECT_EQ(fetcher.timeouts, (std::vector<int>{30, 33, 39, 48}));
  EXPECT_EQ(statusTexts(window),
            (std::vector<std::string>{"Communication request timed out! Retry -  1 time(s).",
                                      "Communication request timed out! Retry -  2 time(s).",
                                      "Communication request timed out! Retry -  3 time(s)."}));
  EXPECT_EQ(fetcher.cancels, 3);
}

TEST_F(FetchRulesTest, AnswerAfterTimeoutsPutsTheTimeoutBackForTheNextPage) {
  configure("30", "3");
  answer(FetchStatus::Timeout, "", 2);
  answer(FetchStatus::Ok, "late page");
  answer(FetchStatus::Timeout);
  answer(FetchStatus::Ok, "next page");
  EXPECT_EQ(fetchPage(session, "http://slow.test/"), "late page");
  EXPECT_EQ(session.timeoutRetries, 0);
  EXPECT_EQ(session.currentTimeout, 30);
  EXPECT_EQ(fetchPage(session, "http://slow.test/2"), "next page");
  EXPECT_EQ(fetcher.timeouts, (std::vector<int>{30, 33, 39, 30, 33}));
}

TEST_F(FetchRulesTest, TimeoutAndEmptyAnswersShareOneRequest) {
  configure("10", "2");
  answer(FetchStatus::Ok, "");
  answer(FetchStatus::Timeout);
  answer(FetchStatus::Ok, "");
  answer(FetchStatus::Ok, "");
  answer(FetchStatus::Ok, "");
  // The time-out starts the empty-answer count afresh, so two more empty
  // answers are allowed after it.
  EXPECT_EQ(fetchPage(session, "http://flaky.test/"), "");
  EXPECT_EQ(fetcher.timeouts, (std::vector<int>{10, 10, 13, 13, 13}));
  // A failure of the transfer itself ends the search at once.
  answer(FetchStatus::Failed);
  EXPECT_EQ(endReasonOf([&] { fetchPage(session, "http://a.test/"); }), EndReason::Failed);
  EXPECT_EQ(fetcher.timeouts.size(), 6u);
}

TEST_F(FetchRulesTest, TransferIsConfiguredFromTheSettings) {
  configure(" 45 ", "3", "  proxy.test:8080  ");
  EXPECT_EQ(session.timeoutSetting, 45);
  EXPECT_EQ(session.currentTimeout, 45);
  EXPECT_EQ(session.maxRetry, 3);
  EXPECT_EQ(fetcher.access, AccessType::NamedProxy);
  EXPECT_EQ(fetcher.proxyName, "proxy.test:8080");

  configure("30", "10", "   ");
  EXPECT_EQ(fetcher.access, AccessType::Default);
  EXPECT_EQ(fetcher.proxyName, "");
  // Numbers that are no whole numbers end the search quietly.
  for (const auto& [timeout, retry] : std::vector<std::pair<std::string, std::string>>{
           {"abc", "3"}, {"30", ""}, {"30", "2.5"}, {"70000", "3"}}) {
    try {
      configure(timeout, retry);
      ADD_FAILURE() << "accepted " << timeout << " / " << retry;
    } catch (const QuexaError& e) {
      EXPECT_EQ(e.kind(), ErrorKind::Other);
    }
  }
}

TEST(CmdFetch, PrintsThePageFromItsBodyTheServerErrorFlagAndBrokenPagesOnStderr) {
  testing::ScratchDir dir;
  HttpTestServer server;
  server.on("/page", HttpTestServer::page("<html><head></head><BODY>Hello there</BODY></html>"));
  server.on("/missing", HttpTestServer::errorPage(404, "<html><body>404 Not Found</body></html>"));
  server.on("/loop", HttpTestServer::redirect("/loop"));
  server.on("/empty", HttpTestServer::emptyBody());
  server.start();
  auto fetch = [&](const std::string& path, const std::string& args = "--timeout 30 --retry 3") {
    return test::runCli(dir, "fetch '" + server.url(path) + "' " + args);
  };

  test::CliRun page = fetch("/page");
  EXPECT_EQ(page.exitCode, 0);
  EXPECT_EQ(page.out, "BODY>Hello there</BODY></html>");
  EXPECT_NE(page.err.find("server error: no"), std::string::npos);
  EXPECT_NE(page.err.find("Searching " + server.url("/page")), std::string::npos);

  test::CliRun missing = fetch("/missing");
  EXPECT_EQ(missing.exitCode, 0);
  EXPECT_NE(missing.err.find("server error: yes"), std::string::npos);
  EXPECT_EQ(fetch("/empty").out, "");
  EXPECT_EQ(server.requestCount("/empty"), 4u);  // --retry reaches the rules

  test::CliRun loop = fetch("/loop");
  EXPECT_EQ(loop.exitCode, 0) << loop.err;
  EXPECT_EQ(loop.out, "");
  EXPECT_NE(loop.err.find("quexa-cli: " + server.url("/loop") + ": "), std::string::npos)
      << loop.err;
  EXPECT_EQ(fetch("/page", "--timeout soon").exitCode, 2);
}

}  // namespace
}  // namespace quexa
