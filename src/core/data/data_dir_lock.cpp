#include "data/data_dir_lock.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <map>
#include <string_view>
#include <utility>

namespace quexa {

namespace {

std::recursive_mutex& processMutex() {
  static std::recursive_mutex mutex;
  return mutex;
}

// The flocks this process holds, by the lock file's identity (one directory
// may be named in several ways), with how many DataDirLocks share each.
struct Held {
  int fd = -1;
  int count = 0;
};
using FileId = std::pair<dev_t, ino_t>;
std::map<FileId, Held>& heldLocks() {
  static std::map<FileId, Held> held;
  return held;
}

[[noreturn]] void throwLockError(const std::string& what, const std::string& path, int err) {
  throw std::filesystem::filesystem_error(what, path,
                                          std::error_code(err, std::generic_category()));
}

int openLockFile(const std::string& path) {
  const int common = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | common, 0644);
  // A lock file made by another user may be read-only to us; flock needs no write access.
  if (fd < 0 && (errno == EACCES || errno == EROFS || errno == EPERM))
    fd = ::open(path.c_str(), O_RDONLY | common);
  if (fd < 0) throwLockError("cannot open the lock file", path, errno);
  return fd;
}

// The temporary file of a data file's rewrite: its stem ends in ".st~" or
// ".qf~", then "." and six letters or digits (text_file.h).
bool isDataFileTemporary(std::string_view name) {
  if (name.size() < 11) return false;
  const std::string_view suffix = name.substr(name.size() - 7);
  const std::string_view stem = name.substr(0, name.size() - 7);
  return suffix[0] == '.' &&
         std::all_of(suffix.begin() + 1, suffix.end(),
                     [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }) &&
         (stem.ends_with(".st~") || stem.ends_with(".qf~"));
}

// A writer killed in the middle of a rewrite leaves its temporary file
// behind. Every writer holds this lock while its temporary file exists, so
// whoever takes the lock finds only such leftovers, and removes them.
void removeLeftTemporaries(const std::string& dataDir) {
  DIR* dir = ::opendir(dataDir.c_str());
  if (dir == nullptr) return;
  while (const dirent* entry = ::readdir(dir))
    if (isDataFileTemporary(entry->d_name))
      ::unlinkat(::dirfd(dir), entry->d_name, 0);  // never follows a link; a directory stays
  ::closedir(dir);
}

}  // namespace

DataDirLock::DataDirLock(const std::string& dataDir) : threadGuard_(processMutex()) {
  const std::string path = dataDir + kLockFileName;
  int fd = openLockFile(path);
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    const int err = errno;
    ::close(fd);
    throwLockError("cannot lock the data directory with", path,
                   S_ISREG(info.st_mode) ? err : EINVAL);
  }
  Held& held = heldLocks()[{info.st_dev, info.st_ino}];
  if (held.count > 0) {
    ::close(fd);  // closing a second descriptor leaves the flock of the first
    ++held.count;
    fd_ = held.fd;
    return;
  }
  while (::flock(fd, LOCK_EX) != 0) {
    if (errno == EINTR) continue;
    const int err = errno;
    ::close(fd);
    heldLocks().erase({info.st_dev, info.st_ino});
    throwLockError("cannot lock the data directory with", path, err);
  }
  held = {fd, 1};
  fd_ = fd;
  removeLeftTemporaries(dataDir);
}

DataDirLock::~DataDirLock() {
  for (auto it = heldLocks().begin(); it != heldLocks().end(); ++it) {
    if (it->second.fd != fd_) continue;
    if (--it->second.count == 0) {
      ::close(fd_);  // releases the flock
      heldLocks().erase(it);
    }
    return;
  }
}

}  // namespace quexa
