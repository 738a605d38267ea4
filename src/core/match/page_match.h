// Matching one page: the page file, the call of stringSearch, and the
// decision whether the page is listed and with which extract.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "match/expression.h"
#include "match/matcher.h"

namespace quexa {

inline constexpr const char* kPageFileName = "page.tmp";

struct PageMatch {
  int32_t result = 0;   // what stringSearch returned
  bool hit = false;     // listed: result > 0, or a server's error page
  std::string extract;  // the library's RTF-ready lines, for a hit that is no server error page
};

// Writes the page text to dataDir + "page.tmp" as it is, has the matcher
// search it, deletes the file and decides. The file is deleted also when the
// matcher throws. File failures throw QuexaError: the file cannot be made
// (PathNotFound for a missing directory, DiskNotReady otherwise), cannot be
// written (DeviceIO), or is gone when it is to be deleted (FileNotFound).
PageMatch matchPage(const std::string& dataDir, std::string_view pageText, bool serverError,
                    const SearchExpression& expression, Matcher& matcher, std::string& matchBuffer);

// The text before the buffer's first NUL; empty when it holds none.
std::string matchedTextBeforeNul(std::string_view buffer);
// The text before the first NUL; the whole buffer when it holds none.
std::string wholeBufferIfNoNul(std::string_view buffer);

}  // namespace quexa
