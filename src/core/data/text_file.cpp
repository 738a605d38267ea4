#include "data/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "app/text.h"

namespace quexa {

namespace {

[[noreturn]] void throwFileError(const std::string& what, const std::string& path) {
  throw std::filesystem::filesystem_error(what, path,
                                          std::error_code(errno, std::generic_category()));
}

// A descriptor that closes itself, so every early exit leaves no file open.
struct FileHandle {
  int fd = -1;
  explicit FileHandle(int d) : fd(d) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() {
    if (fd >= 0) ::close(fd);
  }
};

FileHandle openOrThrow(const std::string& path, int flags) {
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) throwFileError("cannot open", path);
  return FileHandle(fd);
}

void writeAll(int fd, const std::string& bytes, const std::string& path) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      throwFileError("cannot write", path);
    }
    done += static_cast<size_t>(n);
  }
}

std::string readAll(const std::string& path) {
  FileHandle file = openOrThrow(path, O_RDONLY);
  std::string bytes;
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(file.fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      throwFileError("cannot read", path);
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<size_t>(n));
  }
  return bytes;
}

// The rename is only durable once the directory entry itself is on disk.
void syncDirectoryOf(const std::string& path) {
  std::filesystem::path dir = std::filesystem::path(path).parent_path();
  if (dir.empty()) dir = ".";
  int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;  // some file systems refuse; the rename has happened anyway
  ::fsync(fd);
  ::close(fd);
}

std::string joinCrlf(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const auto& line : lines) {
    bytes += line;
    bytes += "\r\n";
  }
  return bytes;
}

}  // namespace

std::vector<std::string> readLines(const std::string& path) {
  // Opening for appending creates a missing file empty and is never an error.
  { FileHandle created = openOrThrow(path, O_WRONLY | O_CREAT | O_APPEND); }
  const std::string bytes = readAll(path);
  std::vector<std::string> lines;
  size_t start = 0;
  const size_t n = bytes.size();
  for (size_t i = 0; i < n; ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n') continue;
    lines.push_back(decodeDataFileLine(std::string_view(bytes).substr(start, i - start)));
    if (bytes[i] == '\r' && i + 1 < n && bytes[i + 1] == '\n') ++i;
    start = i + 1;
  }
  // A last line without a line end still counts; a final line end adds nothing.
  if (start < n) lines.push_back(decodeDataFileLine(std::string_view(bytes).substr(start)));
  return lines;
}

void appendLines(const std::string& path, const std::vector<std::string>& lines) {
  FileHandle file = openOrThrow(path, O_RDWR | O_CREAT | O_APPEND);
  std::string text = joinCrlf(lines);
  // A file whose last line has no line end would have the first new line
  // joined onto it (a header glued to an address reads as neither).
  struct stat info {};
  char last = '\n';
  if (::fstat(file.fd, &info) == 0 && info.st_size > 0 &&
      ::pread(file.fd, &last, 1, info.st_size - 1) == 1 && last != '\n' && last != '\r')
    text.insert(0, "\r\n");
  writeAll(file.fd, text, path);
  if (::fsync(file.fd) != 0) throwFileError("cannot flush", path);
}

void rewriteLines(const std::string& path, const std::string& tempPath,
                  const std::vector<std::string>& lines) {
  rewriteBytes(path, tempPath, joinCrlf(lines));
}

void rewriteBytes(const std::string& path, const std::string& tempPath, const std::string& bytes) {
  {
    // O_TRUNC discards whatever an interrupted earlier rewrite left behind.
    FileHandle temp = openOrThrow(tempPath, O_WRONLY | O_CREAT | O_TRUNC);
    writeAll(temp.fd, bytes, tempPath);
    if (::fsync(temp.fd) != 0) throwFileError("cannot flush", tempPath);
  }
  // rename() replaces the old file in one step: a reader sees the old
  // content or the new, and an interruption never leaves no file at all.
  if (::rename(tempPath.c_str(), path.c_str()) != 0) {
    int saved = errno;
    ::unlink(tempPath.c_str());
    errno = saved;
    throwFileError("cannot replace", path);
  }
  syncDirectoryOf(path);
}

}  // namespace quexa
