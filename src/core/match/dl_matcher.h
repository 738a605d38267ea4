// The matcher of the programs: stringSearch of libmzk11.so, loaded by name on
// first use from the library search path (which holds the programs' own
// directory through their run path), else from beside the running program.
#pragma once

#include <string>

#include "match/matcher.h"
#include "match/mzk11.h"

namespace quexa {

inline constexpr const char* kMatchLibraryName = "libmzk11.so";

class DlMatcher : public Matcher {
 public:
  explicit DlMatcher(std::string libraryName = kMatchLibraryName);
  ~DlMatcher() override;
  DlMatcher(const DlMatcher&) = delete;
  DlMatcher& operator=(const DlMatcher&) = delete;

  // Grows matchBuffer to the library's 51,200 bytes when it is shorter; a
  // longer buffer keeps its size. Throws QuexaError(LibraryNotLoadable) when
  // the library or its function cannot be found; a later call tries again.
  int32_t stringSearch(const std::string& path, int32_t length, int32_t caseMode,
                       const std::array<std::string, 4>& texts,
                       const std::array<int32_t, 3>& connectors, std::string& matchBuffer) override;

 private:
  void load();

  std::string libraryName_;
  void* handle_ = nullptr;
  mzk11_string_search_fn search_ = nullptr;
};

}  // namespace quexa
