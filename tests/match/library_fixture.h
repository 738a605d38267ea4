// Runs the real matching library on a page written into a scratch directory.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "app/state.h"
#include "match/dl_matcher.h"
#include "match/mzk11.h"
#include "match/page_match.h"
#include "support/scratch_dir.h"

namespace quexa::testing {

struct LibraryAnswer {
  int32_t result = 0;
  std::string extract;  // the buffer before its first NUL
  std::string buffer;   // the whole buffer
};

class LibraryTest : public ::testing::Test {
 protected:
  // Texts and connectors as the window passes them.
  LibraryAnswer search(const std::string& page, std::array<std::string, 4> texts,
                       std::array<int32_t, 3> connectors = {MZK11_AND, MZK11_AND, MZK11_AND},
                       int32_t caseMode = MZK11_MATCH_CASE) {
    dir_.write("page.tmp", page);
    LibraryAnswer a;
    a.buffer = std::string(kMatchBufferSize, ' ');
    a.result = matcher_.stringSearch(dir_.file("page.tmp"), static_cast<int32_t>(page.size()),
                                     caseMode, texts, connectors, a.buffer);
    a.extract = matchedTextBeforeNul(a.buffer);
    return a;
  }
  LibraryAnswer find(const std::string& page, const std::string& text,
                     int32_t caseMode = MZK11_MATCH_CASE) {
    return search(page, {text, "", "", ""}, {MZK11_AND, MZK11_AND, MZK11_AND}, caseMode);
  }

  // The exported function itself, for the arguments the programs keep fixed.
  mzk11_string_search_fn rawFunction() {
    if (!raw_) {
      void* h = dlopen(QUEXA_BIN_DIR "/libmzk11.so", RTLD_NOW | RTLD_LOCAL);
      if (h) raw_ = reinterpret_cast<mzk11_string_search_fn>(dlsym(h, "stringSearch"));
    }
    return raw_;
  }

  ScratchDir dir_;
  DlMatcher matcher_;

 private:
  mzk11_string_search_fn raw_ = nullptr;
};

}  // namespace quexa::testing
