// Cutting one fuzz input into the pieces a target needs, and a private
// scratch directory for the targets whose code reads files.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace quexa::fuzz {

class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, size_t size) : rest_(reinterpret_cast<const char*>(data), size) {}

  // The next byte, or 0 once the input is used up.
  uint8_t takeByte() {
    if (rest_.empty()) return 0;
    auto b = static_cast<uint8_t>(rest_.front());
    rest_.remove_prefix(1);
    return b;
  }
  // Up to the next line feed (which is taken but not returned), at most max
  // bytes, so a seed file reads as one piece per line.
  std::string_view takeLine(size_t max) {
    size_t end = rest_.find('\n');
    size_t length = end == std::string_view::npos ? rest_.size() : end;
    if (length > max) length = max;
    std::string_view line = rest_.substr(0, length);
    rest_.remove_prefix(length);
    if (!rest_.empty() && rest_.front() == '\n' && length < max) rest_.remove_prefix(1);
    return line;
  }
  std::string_view rest() const { return rest_; }

 private:
  std::string_view rest_;
};

// A directory of this process's own under the temporary directory, removed
// at exit; path() ends with '/'.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quexa-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data())) path_ = pattern + "/";
  }
  ~ScratchDir() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  const std::string& path() const { return path_; }
  std::string write(const std::string& name, std::string_view bytes) const {
    std::string file = path_ + name;
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file;
  }

 private:
  std::string path_;
};

inline const ScratchDir& scratch() {
  static ScratchDir dir;
  return dir;
}

}  // namespace quexa::fuzz
