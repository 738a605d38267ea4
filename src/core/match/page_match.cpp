#include "match/page_match.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "app/errors.h"

namespace quexa {

namespace {

std::string failure(const std::string& what, const std::string& path, int err) {
  return what + " " + path + ": " + std::strerror(err);
}

// The page file is made new each time: a link or file planted at its name is
// removed, never written through (a fetched page's bytes would land in the
// file it points to). A failed write leaves no partial page file behind.
void writePageFile(const std::string& path, std::string_view text) {
  ::unlink(path.c_str());
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (fd < 0) {
    int err = errno;
    ErrorKind kind =
        err == ENOENT || err == ENOTDIR ? ErrorKind::PathNotFound : ErrorKind::DiskNotReady;
    throw QuexaError(kind, failure("cannot create", path, err));
  }
  const auto fail = [&](int err) {
    ::unlink(path.c_str());
    throw QuexaError(ErrorKind::DeviceIO, failure("cannot write", path, err));
  };
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      int err = n < 0 ? errno : EIO;
      ::close(fd);
      fail(err);
    }
    done += static_cast<size_t>(n);
  }
  if (::close(fd) != 0) fail(errno);
}

thread_local PageFileScope* innermostScope = nullptr;

// fileSize is what the file holds, unknown (SIZE_MAX) after a failed write;
// the file is cut only when the text is shorter.
void writeAllAt(int fd, std::string_view text, const std::string& path, size_t& fileSize) {
  const size_t before = fileSize;
  fileSize = SIZE_MAX;
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::pwrite(fd, text.data() + done, text.size() - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      throw QuexaError(ErrorKind::DeviceIO, failure("cannot write", path, n < 0 ? errno : EIO));
    done += static_cast<size_t>(n);
  }
  if (text.size() < before && ::ftruncate(fd, static_cast<off_t>(text.size())) != 0)
    throw QuexaError(ErrorKind::DeviceIO, failure("cannot write", path, errno));
  fileSize = text.size();
}

// page.tmp as a new name of the scope's kept file, holding the text. False
// when this cannot be done here (no kept file, no hard links): the caller
// makes a new file instead, which also reports a missing directory.
bool linkPageFile(PageFileScope& scope, const std::string& path, std::string_view text) {
  const int fd = scope.keptFile();
  if (fd < 0) return false;
  writeAllAt(fd, text, path, scope.keptSize());
  if (::link(scope.keptPath().c_str(), path.c_str()) == 0) return true;
  // A link or file planted at the name is removed, never followed.
  if (errno == EEXIST && ::unlink(path.c_str()) == 0 &&
      ::link(scope.keptPath().c_str(), path.c_str()) == 0)
    return true;
  scope.giveUp();
  return false;
}

int32_t pageFileSize(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0)
    throw QuexaError(ErrorKind::FileNotFound, failure("cannot read the size of", path, errno));
  // The library takes a 32-bit length; a larger page is matched on its first 2 GB.
  return st.st_size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(st.st_size);
}

void deletePageFile(const std::string& path) {
  if (::unlink(path.c_str()) == 0) return;
  int err = errno;
  ErrorKind kind = err == ENOENT ? ErrorKind::FileNotFound : ErrorKind::DiskNotReady;
  throw QuexaError(kind, failure("cannot delete", path, err));
}

}  // namespace

PageMatch matchPage(const std::string& dataDir, std::string_view pageText, bool serverError,
                    const SearchExpression& expression, Matcher& matcher,
                    std::string& matchBuffer) {
  const std::string path = dataDir + kPageFileName;
  PageFileScope* scope = PageFileScope::current();
  if (scope == nullptr || scope->dataDir() != dataDir || !linkPageFile(*scope, path, pageText))
    writePageFile(path, pageText);
  PageMatch m;
  try {
    int32_t length = pageFileSize(path);
    m.result = matcher.stringSearch(path, length, expression.caseMode, expression.texts,
                                    expression.connectors, matchBuffer);
  } catch (...) {
    ::unlink(path.c_str());  // no page file is left behind for the next step
    throw;
  }
  deletePageFile(path);
  m.hit = m.result > 0 || serverError;
  if (m.hit && !serverError) m.extract = matchedTextBeforeNul(matchBuffer);
  return m;
}

PageFileScope::PageFileScope(std::string dataDir)
    : dataDir_(std::move(dataDir)), outer_(innermostScope) {
  innermostScope = this;
}

PageFileScope::~PageFileScope() {
  innermostScope = outer_;
  giveUp();
}

PageFileScope* PageFileScope::current() {
  return innermostScope;
}

int PageFileScope::keptFile() {
  if (fd_ >= 0 || failed_) return fd_;
  // mkostemp makes the file new (O_EXCL): it never opens what is at the name.
  std::string name = dataDir_ + kPageFileName + ".XXXXXX";
  fd_ = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd_ < 0) {
    failed_ = true;
    return fd_;
  }
  keptPath_ = std::move(name);
  return fd_;
}

void PageFileScope::giveUp() {
  failed_ = true;
  if (fd_ < 0) return;
  ::close(fd_);
  ::unlink(keptPath_.c_str());
  fd_ = -1;
}

std::string matchedTextBeforeNul(std::string_view buffer) {
  size_t nul = buffer.find('\0');
  return nul == std::string_view::npos ? std::string() : std::string(buffer.substr(0, nul));
}

std::string wholeBufferIfNoNul(std::string_view buffer) {
  return std::string(buffer.substr(0, buffer.find('\0')));
}

}  // namespace quexa
