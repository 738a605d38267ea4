#include "net/fetch_page.h"

#include <limits>

#include "app/errors.h"
#include "app/text.h"

namespace quexa {

namespace {

constexpr size_t kShortErrorPage = 300;

int16_t settingNumber(const std::string& text, const char* what) {
  int64_t n = 0;
  if (!parseWholeNumber(text, n) || n < std::numeric_limits<int16_t>::min() ||
      n > std::numeric_limits<int16_t>::max())
    throw QuexaError(ErrorKind::Other, std::string(what) + " is not a number: \"" + text + "\"");
  return static_cast<int16_t>(n);
}

// A 16-bit counter raised by one; it stays at its top instead of wrapping.
void raise(int16_t& counter) {
  if (counter < std::numeric_limits<int16_t>::max()) ++counter;
}

// The time-out rule: retry the same request with a longer time-out, end the
// search when a stop was asked for or the retries are used up.
void handleTimeout(FetchSession& s) {
  s.emptyRetries = 0;
  raise(s.timeoutRetries);
  if (s.timeoutRetries > s.maxRetry) throw SearchEnd(EndReason::Failed);
  s.fetcher.cancel();
  s.window.setStatus(timeoutRetryNotice(s.timeoutRetries));
  s.currentTimeout += 3 * s.timeoutRetries;
  if (s.state.stopRequest == 1) throw SearchEnd(EndReason::Stopped);
}

// One request, repeated by the time-out rule until it gives an answer. An
// unreachable site or broken page answers with an empty text; its error
// says why.
FetchResult requestAnswer(FetchSession& s, const std::string& url) {
  for (;;) {
    if (s.onAttempt) s.onAttempt(url);
    FetchResult result = s.fetcher.fetch(url, s.currentTimeout);
    switch (result.status) {
      case FetchStatus::Ok:
        return result;
      case FetchStatus::Unreachable:
        result.body.clear();
        if (result.error.empty()) result.error = "no answer";
        return result;
      case FetchStatus::Timeout:
        handleTimeout(s);
        break;
      case FetchStatus::Failed:
        throw SearchEnd(EndReason::Failed);
    }
  }
}

// The empty-answer retries around requestAnswer; retry(answer) says whether
// an empty answer is worth asking again.
template <typename Retry>
FetchResult fetchWithRetries(FetchSession& s, const std::string& url, Retry retry, bool report) {
  FetchResult answer;
  for (;;) {
    answer = requestAnswer(s, url);
    if (!answer.body.empty() || !retry(answer)) break;
    raise(s.emptyRetries);
    if (s.emptyRetries > s.maxRetry || s.state.stopRequest == 1) break;
    s.pump.pump();
    s.fetcher.cancel();
  }
  // Told once a page, after its retries, and only when it stayed unfetched.
  if (report && s.reportsUnfetched && answer.body.empty() &&
      answer.status == FetchStatus::Unreachable)
    s.window.reportUnfetched(url, answer.error);
  s.currentTimeout = s.timeoutSetting;
  s.timeoutRetries = 0;
  s.emptyRetries = 0;
  raise(s.pagesFetched);
  return answer;
}

}  // namespace

void configureTransfer(FetchSession& session, const Settings& settings) {
  session.timeoutSetting = settingNumber(settings.timeoutText, "Timeout");
  session.currentTimeout = session.timeoutSetting;
  session.maxRetry = settingNumber(settings.retryText, "Retry");
  const std::string proxy = trim(settings.proxyText);
  if (proxy.empty())
    session.fetcher.setProxy(AccessType::Default, "");
  else
    session.fetcher.setProxy(AccessType::NamedProxy, proxy);
}

int64_t maxSitesSetting(const std::string& hitsText) {
  int64_t n = 0;
  if (!parseWholeNumber(hitsText, n))
    throw QuexaError(ErrorKind::Other, "Maximum Sites is not a number: \"" + hitsText + "\"");
  return n;
}

std::string fetchPage(FetchSession& s, const std::string& url) {
  return fetchWithRetries(
             s, url, [](const FetchResult&) { return true; }, true)
      .body;
}

FetchResult fetchAnswer(FetchSession& s, const std::string& url) {
  // An error answer or no page says what it is at once: asking again would
  // only repeat it. The caller reports what it leaves out.
  return fetchWithRetries(
      s, url,
      [](const FetchResult& answer) {
        return answer.status == FetchStatus::Unreachable ||
               (answer.httpStatus < 400 && !answer.notPage);
      },
      false);
}

std::string timeoutRetryNotice(int16_t timeoutRetries) {
  return "Communication request timed out! Retry - " + str(timeoutRetries) + " time(s).";
}

size_t characterCount(std::string_view text) {
  size_t n = 0;
  for (unsigned char c : text)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

bool isServerErrorPage(std::string_view text, int16_t pagesFetched) {
  if (pagesFetched != 1) return false;
  const std::string lower = lowerSameLength(text);
  if (characterCount(text) < kShortErrorPage && contains(lower, "not found")) return true;
  return contains(lower, "document not found") && contains(lower, "ibm");
}

// "<body" in any letter case, found in place: lowering the page first only
// changes letters, and the ones that matter here are ASCII.
std::string cutAtBody(std::string_view text) {
  for (size_t at = text.find('<'); at != std::string_view::npos; at = text.find('<', at + 1)) {
    if (text.size() - at < 5) break;
    bool body = true;
    for (size_t i = 1; i < 5 && body; ++i) body = (text[at + i] | 0x20) == "<body"[i];
    if (body) return std::string(text.substr(at + 1));
  }
  return std::string(text);
}

}  // namespace quexa
