// The fetch rules every search uses: how the transfer is configured, how one
// page is fetched with its two retry rules (empty answers and time-outs),
// how a server's error page is recognised and where the page body begins.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "app/settings.h"
#include "app/state.h"
#include "app/window.h"
#include "net/fetcher.h"

namespace quexa {

// The transfer settings of one search and the counters of its running
// request. Counters keep their 16-bit sizes.
struct FetchSession {
  Fetcher& fetcher;
  EventPump& pump;
  Window& window;   // for the retry notices in dispFile
  AppState& state;  // stopRequest

  int32_t timeoutSetting = 30;  // the number in timeoutText
  int32_t currentTimeout = 30;  // the request time-out, raised by the time-out rule
  int16_t maxRetry = 10;        // the number in retryText
  int16_t emptyRetries = 0;
  int16_t timeoutRetries = 0;
  int16_t pagesFetched = 0;  // pages fetched for the current site

  // Off where the caller reports a page it could not use in its own words.
  bool reportsUnfetched = true;

  // Called before every request attempt (the command line records each one).
  std::function<void(const std::string& url)> onAttempt;

  FetchSession(Fetcher& f, EventPump& p, Window& w, AppState& s)
      : fetcher(f), pump(p), window(w), state(s) {}
};

// Reads the time-out, the retry count and the proxy from the settings and
// sets up the fetcher. A time-out or retry text that is no 16-bit whole
// number throws QuexaError(ErrorKind::Other): the search ends quietly.
void configureTransfer(FetchSession& session, const Settings& settings);

// The number in the Maximum Sites box (hitsText); throws
// QuexaError(ErrorKind::Other) when it is no whole number.
int64_t maxSitesSetting(const std::string& hitsText);

// One page, with the empty-answer retries and the time-out rule. Returns the
// text, which may be empty; a page that stayed unreachable is told through
// Window::reportUnfetched. Throws SearchEnd(Stopped) when a stop is seen in
// the time-out rule, SearchEnd(Failed) when the time-outs are used up or the
// transfer fails in another way.
std::string fetchPage(FetchSession& session, const std::string& url);

// fetchPage for the standard link rules: the whole answer (status, final
// address, type), and no empty-answer retries for an answer of 400 or more
// or one that is no page.
FetchResult fetchAnswer(FetchSession& session, const std::string& url);

// The retry notice of the time-out rule.
std::string timeoutRetryNotice(int16_t timeoutRetries);

// The site's first page is a server's error page when it is short and says
// "not found", or names both "document not found" and "ibm".
bool isServerErrorPage(std::string_view text, int16_t pagesFetched);

// Everything after the "<" of the first "<body" (in any letter case), or the
// whole text when it has no body tag.
std::string cutAtBody(std::string_view text);

// Characters of UTF-8 text (not bytes).
size_t characterCount(std::string_view text);

}  // namespace quexa
