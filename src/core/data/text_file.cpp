#include "data/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <random>
#include <utility>

#include "app/text.h"

namespace quexa {

namespace {

[[noreturn]] void throwFileError(const std::string& what, const std::string& path,
                                 int err = errno) {
  throw std::filesystem::filesystem_error(what, path,
                                          std::error_code(err, std::generic_category()));
}

[[noreturn]] void throwNotRegular(const std::string& path) {
  throwFileError("not a regular file", path, EINVAL);
}

// A descriptor that closes itself, so every early exit leaves no file open.
struct FileHandle {
  int fd = -1;
  explicit FileHandle(int d) : fd(d) {}
  FileHandle(FileHandle&& other) noexcept : fd(std::exchange(other.fd, -1)) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() {
    if (fd >= 0) ::close(fd);
  }
};

int openRetrying(const std::string& path, int flags) {
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_CLOEXEC, 0644);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// A name that exists but is no regular file is refused before it is opened:
// opening a FIFO waits for a writer, opening a device may do anything.
void refuseIfNotRegular(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) throwNotRegular(path);
}

// O_NONBLOCK and the second look through the descriptor cover a name that
// changes between the two.
FileHandle openRegular(const std::string& path, int flags) {
  refuseIfNotRegular(path);
  FileHandle file(openRetrying(path, flags | O_NONBLOCK));
  if (file.fd < 0) throwFileError("cannot open", path);
  struct stat info {};
  if (::fstat(file.fd, &info) != 0) throwFileError("cannot open", path);
  if (!S_ISREG(info.st_mode)) throwNotRegular(path);
  return file;
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

std::string readUpTo(int fd, size_t limit, const std::string& path) {
  std::string bytes;
  char buffer[65536];
  while (bytes.size() < limit) {
    const size_t want = std::min(sizeof buffer, limit - bytes.size());
    ssize_t n = ::read(fd, buffer, want);
    if (n < 0) {
      if (errno == EINTR) continue;
      throwFileError("cannot read", path);
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<size_t>(n));
  }
  return bytes;
}

// The data files are created by their first reader. O_EXCL never follows a
// link planted at the name; a directory that may not be written to leaves the
// file missing, which reads as empty.
std::string readOrCreate(const std::string& path, size_t limit) {
  refuseIfNotRegular(path);
  const int fd = openRetrying(path, O_RDONLY | O_NONBLOCK);
  if (fd < 0) {
    if (errno != ENOENT) throwFileError("cannot open", path);
    const int created = openRetrying(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW);
    if (created >= 0)
      ::close(created);
    else if (errno != EACCES && errno != EROFS && errno != EPERM && errno != EEXIST)
      throwFileError("cannot create", path);  // a missing directory is no empty file
    return {};
  }
  FileHandle file(fd);
  struct stat info {};
  if (::fstat(file.fd, &info) != 0) throwFileError("cannot read", path);
  if (!S_ISREG(info.st_mode)) throwNotRegular(path);
  return readUpTo(file.fd, limit, path);
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

// A temporary file of this writer alone: two writers never share one, and
// O_EXCL makes a new file rather than opening whatever is at the name.
// Removed on destruction unless it has been renamed into place.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::string& stem) {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
      path_ = stem + ".";
      for (int i = 0; i < 6; ++i) path_ += kLetters[pick(random)];
      fd_ = openRetrying(path_, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW);
      if (fd_ >= 0 || errno != EEXIST) break;
    }
    if (fd_ < 0) throwFileError("cannot create", path_);
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!renamed_) ::unlink(path_.c_str());
  }

  void write(const std::string& bytes) {
    writeAll(fd_, bytes, path_);
    if (::fsync(fd_) != 0) throwFileError("cannot flush", path_);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) throwFileError("cannot write", path_);
  }

  void renameOver(const std::string& path) {
    if (::rename(path_.c_str(), path.c_str()) != 0) throwFileError("cannot replace", path);
    renamed_ = true;
  }

 private:
  std::string path_;
  int fd_ = -1;
  bool renamed_ = false;
};

std::vector<std::string> splitLines(const std::string& bytes) {
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

}  // namespace

std::vector<std::string> readLines(const std::string& path) {
  return splitLines(readOrCreate(path, std::string::npos));
}

std::optional<std::vector<std::string>> readLinesIfPresent(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 && errno == ENOENT) return std::nullopt;
  FileHandle file = openRegular(path, O_RDONLY);
  return splitLines(readUpTo(file.fd, std::string::npos, path));
}

std::string readBytes(const std::string& path, size_t limit) {
  return readOrCreate(path, limit);
}

void appendLines(const std::string& path, const std::vector<std::string>& lines) {
  // O_NOFOLLOW: appending through a link planted at the name would write
  // into whatever file it points to.
  FileHandle file = openRegular(path, O_RDWR | O_CREAT | O_APPEND | O_NOFOLLOW);
  std::string text = joinCrlf(lines);
  struct stat info {};
  if (::fstat(file.fd, &info) != 0) throwFileError("cannot open", path);
  // A file whose last line has no line end would have the first new line
  // joined onto it (a header glued to an address reads as neither).
  char last = '\n';
  if (info.st_size > 0 && ::pread(file.fd, &last, 1, info.st_size - 1) == 1 && last != '\n' &&
      last != '\r')
    text.insert(0, "\r\n");
  try {
    writeAll(file.fd, text, path);
    if (::fsync(file.fd) != 0) throwFileError("cannot flush", path);
  } catch (...) {
    // A full disk must not leave half a section behind.
    if (::ftruncate(file.fd, info.st_size) == 0) ::fsync(file.fd);
    throw;
  }
}

void rewriteLines(const std::string& path, const std::string& tempStem,
                  const std::vector<std::string>& lines) {
  rewriteBytes(path, tempStem, joinCrlf(lines));
}

void rewriteBytes(const std::string& path, const std::string& tempStem, const std::string& bytes) {
  // Only a name that is no directory can be left over at the stem.
  ::unlink(tempStem.c_str());
  TemporaryFile temp(tempStem);
  temp.write(bytes);
  // rename() replaces the old file in one step: a reader sees the old
  // content or the new, and an interruption never leaves no file at all.
  temp.renameOver(path);
  syncDirectoryOf(path);
}

}  // namespace quexa
