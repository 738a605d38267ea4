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

// For the length of a search on this thread: page.tmp is made each time as a
// new name of one kept file ("page.tmp.XXXXXX" beside it, removed when the
// scope ends) instead of as a new file. Making a new file for every page is
// most of a fast crawl's cost on some file systems; a new name is cheap. What
// the matcher sees is the same: page.tmp holds the page and is gone after.
// Scopes nest; matchPage falls back to a new file when hard links fail.
class PageFileScope {
 public:
  explicit PageFileScope(std::string dataDir);
  ~PageFileScope();
  PageFileScope(const PageFileScope&) = delete;
  PageFileScope& operator=(const PageFileScope&) = delete;

  // The kept file's descriptor, made on first use; -1 when it cannot be.
  int keptFile();
  const std::string& keptPath() const { return keptPath_; }
  size_t& keptSize() { return keptSize_; }  // what the kept file holds now
  const std::string& dataDir() const { return dataDir_; }
  void giveUp();  // hard links do not work here: new files from now on
  static PageFileScope* current();

 private:
  std::string dataDir_;
  std::string keptPath_;
  int fd_ = -1;
  size_t keptSize_ = 0;
  bool failed_ = false;
  PageFileScope* outer_;
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
