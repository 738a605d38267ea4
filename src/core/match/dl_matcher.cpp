#include "match/dl_matcher.h"

#include <dlfcn.h>

#include <filesystem>

#include "app/errors.h"

namespace quexa {

namespace {

// The library beside the running program. The run path of the program finds
// it there too, but not when a preloaded tool stands between the program and
// the loader, so the matcher looks there itself as well.
std::string besideTheProgram(const std::string& name) {
  std::error_code ec;
  std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec || name.find('/') != std::string::npos) return {};
  return (program.parent_path() / name).string();
}

}  // namespace

DlMatcher::DlMatcher(std::string libraryName) : libraryName_(std::move(libraryName)) {}

DlMatcher::~DlMatcher() {
  if (handle_) dlclose(handle_);
}

void DlMatcher::load() {
  if (search_) return;
  if (!handle_) handle_ = dlopen(libraryName_.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* error = dlerror();
    std::string why = error ? error : "unknown reason";
    std::string beside = besideTheProgram(libraryName_);
    if (!beside.empty()) handle_ = dlopen(beside.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) throw QuexaError(ErrorKind::LibraryNotLoadable, "cannot load " + why);
  }
  search_ = reinterpret_cast<mzk11_string_search_fn>(dlsym(handle_, "stringSearch"));
  if (!search_)
    throw QuexaError(ErrorKind::LibraryNotLoadable, libraryName_ + " has no stringSearch");
}

int32_t DlMatcher::stringSearch(const std::string& path, int32_t length, int32_t caseMode,
                                const std::array<std::string, 4>& texts,
                                const std::array<int32_t, 3>& connectors,
                                std::string& matchBuffer) {
  load();
  // The library reads NUL-terminated copies; a text holding a NUL ends there.
  const std::string file = path.c_str();
  const std::array<std::string, 4> copies{texts[0].c_str(), texts[1].c_str(), texts[2].c_str(),
                                          texts[3].c_str()};
  if (matchBuffer.size() < MZK11_RESULT_BUFFER_SIZE)
    matchBuffer.resize(MZK11_RESULT_BUFFER_SIZE, ' ');
  return search_(file.c_str(), length, caseMode, copies[0].c_str(), connectors[0],
                 copies[1].c_str(), connectors[1], copies[2].c_str(), connectors[2],
                 copies[3].c_str(), 0, 30, 1, matchBuffer.data(), 0);
}

}  // namespace quexa
