#include "net/page_gate.h"

#include "app/text.h"

namespace quexa {

bool isPageType(std::string_view contentType) {
  std::string type = lowerSameLength(contentType.substr(0, contentType.find(';')));
  type = trim(type);
  return type.empty() || type == "text/html" || type == "application/xhtml+xml" ||
         type == "text/plain";
}

bool answerMayBePage(CURL* easy) {
  long status = 0;
  curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
  if (status >= 300) return false;  // a redirect's body is never read either
  char* contentType = nullptr;
  curl_easy_getinfo(easy, CURLINFO_CONTENT_TYPE, &contentType);
  return isPageType(contentType != nullptr ? contentType : "");
}

void noteAnswerFacts(CURL* easy, FetchResult& result) {
  char* finalUrl = nullptr;
  curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &finalUrl);
  if (finalUrl != nullptr) result.finalUrl = finalUrl;
  char* contentType = nullptr;
  curl_easy_getinfo(easy, CURLINFO_CONTENT_TYPE, &contentType);
  if (contentType != nullptr) result.contentType = contentType;
  char* redirectUrl = nullptr;
  curl_easy_getinfo(easy, CURLINFO_REDIRECT_URL, &redirectUrl);
  if (redirectUrl != nullptr) result.redirectUrl = redirectUrl;
}

void setFollowRedirects(CURL* easy, bool pagesOnly) {
  curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, pagesOnly ? 0L : 1L);
}

}  // namespace quexa
