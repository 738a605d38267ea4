// What the standard link rules read of an answer: pages only. An answer is
// no page when its status is 400 or more or its Content-Type names neither
// HTML nor plain text; its transfer is stopped at its first bytes, so no
// large file is downloaded to be thrown away.
//
// Functions over one transfer handle: call them on the thread that drives
// that handle.
#pragma once

#include <curl/curl.h>

#include <string_view>

#include "net/fetcher.h"

namespace quexa {

// text/html, application/xhtml+xml or text/plain, parameters ignored. An
// answer without a type is taken as a page, as a browser would show it.
bool isPageType(std::string_view contentType);

// Whether the answer under way on easy may still be a page.
bool answerMayBePage(CURL* easy);

// The final address after redirects, the Content-Type and where a redirect
// not followed points, of a finished transfer, into result.
void noteAnswerFacts(CURL* easy, FetchResult& result);

// Pages only: redirects are told, not followed; otherwise followed.
void setFollowRedirects(CURL* easy, bool pagesOnly);

}  // namespace quexa
