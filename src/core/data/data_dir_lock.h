// The data directory's lock: held around every read-modify-write of a data
// file (qxword.ini, qxwordeg.ini, qxindex.ini, qxoptions.ini, qxconfig.qxf and
// any later one), so a window and any number of quexa-cli runs on one data
// directory never lose each other's changes.
//
// It is an advisory flock on the file qxdata.lck in the data directory,
// created there when missing. Readers that only read take no lock: every
// change reaches a file by an atomic rename or a short append, so a reader
// sees a whole file.
//
// Contract:
// - The constructor blocks until no other process holds the lock. A holder
//   keeps it only for one read-modify-write, never while waiting for the user.
// - Nested locks of one directory in one process are allowed (a command holds
//   it over a load and the save inside it); they share the one flock.
// - Safe for concurrent use by threads of one process: a thread waits while
//   another thread of the process holds any DataDirLock.
// - Taking it (outermost in the process) removes the temporary files that
//   writers killed in the middle of a rewrite left in the directory: names
//   of a stem ending in ".st~" or ".qf~" plus "." and six letters or digits.
//   A new data file's temporary stem follows that pattern.
// - Throws std::filesystem::filesystem_error when the lock file can be neither
//   created nor opened, or is no regular file (a link is never followed).
#pragma once

#include <mutex>
#include <string>

namespace quexa {

inline constexpr const char* kLockFileName = "qxdata.lck";

class DataDirLock {
 public:
  // dataDir ends with '/'.
  explicit DataDirLock(const std::string& dataDir);
  ~DataDirLock();
  DataDirLock(const DataDirLock&) = delete;
  DataDirLock& operator=(const DataDirLock&) = delete;

 private:
  std::unique_lock<std::recursive_mutex> threadGuard_;
  int fd_ = -1;  // the shared descriptor of the held flock
};

}  // namespace quexa
