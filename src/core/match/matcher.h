// The call of the matching library's stringSearch. The real matcher loads
// libmzk11.so on first use; tests may use their own.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace quexa {

class Matcher {
 public:
  virtual ~Matcher() = default;
  // stringSearch(path, length, caseMode, text1, c1, text2, c2, text3, c3,
  // text4, 0, 30, 1, matchBuffer, 0). matchBuffer keeps its size; the library
  // writes a NUL-terminated extract into it. Throws
  // QuexaError(ErrorKind::LibraryNotLoadable) when the library cannot be loaded.
  virtual int32_t stringSearch(const std::string& path, int32_t length, int32_t caseMode,
                               const std::array<std::string, 4>& texts,
                               const std::array<int32_t, 3>& connectors,
                               std::string& matchBuffer) = 0;
};

}  // namespace quexa
