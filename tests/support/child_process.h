// Running a piece of a test in a child process, for what must not touch the
// test program itself: a small file-size limit (the full disk of a test run
// as root), racing writers.
#pragma once

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstddef>
#include <functional>

namespace quexa::testing {

// Forks, runs body in the child and returns what it returned as the child's
// exit status (-1 when the child ended otherwise). Start a child with no
// other threads running.
inline pid_t startChild(const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(body());
  return child;
}

inline int waitForChild(pid_t child) {
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The body runs where no file may grow past limit bytes: a write beyond it
// fails with EFBIG, as one on a full disk fails with ENOSPC.
inline int runWithFileSizeLimit(size_t limit, const std::function<int()>& body) {
  return waitForChild(startChild([&] {
    ::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ::getrlimit(RLIMIT_FSIZE, &old);
    const rlimit small{static_cast<rlim_t>(limit), old.rlim_max};
    if (::setrlimit(RLIMIT_FSIZE, &small) != 0) return 99;
    return body();
  }));
}

}  // namespace quexa::testing
