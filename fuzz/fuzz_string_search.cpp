// stringSearch over any page and any search texts. The input is four control
// bytes (case mode, the three connectors), then the four texts one a line,
// then the page; a fifth byte after the texts sets context lines, line limit
// and highlighting. Beyond not crashing: the result buffer is left untouched
// on no match, and on a match the extract ends within the buffer, holds no
// byte beyond ASCII (those are written as \uN?) and its groups are balanced,
// so it can be put into an RTF document as it is. The case fold of the page
// leads back to each of the page's character starts.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fold_case.h"
#include "fuzz_input.h"
#include "mzk11.h"
#include "utf8.h"

namespace {

void require(bool ok) {
  if (!ok) std::abort();
}

constexpr char kUntouched = '\x7f';

void checkExtract(const std::vector<char>& buffer) {
  const void* nul = std::memchr(buffer.data(), '\0', buffer.size());
  require(nul != nullptr);
  const size_t length = static_cast<size_t>(static_cast<const char*>(nul) - buffer.data());
  int depth = 0;
  for (size_t i = 0; i < length; ++i) {
    const auto c = static_cast<unsigned char>(buffer[i]);
    require(c < 0x80);
    if (c == '\\') {
      ++i;  // an escaped character or the start of a control word
      require(i < length);
      continue;
    }
    if (c == '{') ++depth;
    if (c == '}') --depth;
    require(depth >= 0);
  }
  require(depth == 0);
}

// Every character start of the page and its place in the folded page map
// onto each other, and the folded page is the folded text of the same bytes.
void checkFold(std::string_view page) {
  const mzk11::FoldedText folded = mzk11::foldPage(page);
  require(folded.text == mzk11::foldText(page));
  size_t at = 0;
  size_t previous = 0;
  while (at <= page.size()) {
    const size_t there = folded.positions.toFolded(at);
    require(there <= folded.text.size() && there >= previous);
    require(folded.positions.toPage(there) == at);
    previous = there;
    if (at == page.size()) break;
    char32_t cp = 0;
    at += std::max<size_t>(1, mzk11::decodeUtf8(page.data() + at, page.size() - at, cp));
  }
  require(folded.positions.toFolded(page.size()) == folded.text.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const quexa::fuzz::ScratchDir& dir = quexa::fuzz::scratch();
  if (dir.path().empty()) return 0;
  quexa::fuzz::FuzzInput input(data, size);
  const int32_t caseMode = (input.takeByte() & 1) ? MZK11_IGNORE_CASE : MZK11_MATCH_CASE;
  int32_t connectors[3];
  // 210 AND, 211 OR, 212 NOT, 213 an unknown code (counts as AND).
  for (int32_t& c : connectors) c = MZK11_AND + (input.takeByte() % 4);
  std::string texts[4];
  for (std::string& t : texts) t = std::string(input.takeLine(64));
  const uint8_t shape = input.takeByte();
  const int32_t contextLines = (shape & 0x3) - 1;         // -1 .. 2
  const int32_t maxLines = ((shape >> 2) & 0xF) * 3 - 3;  // -3 .. 42
  const int32_t highlight = (shape >> 6) & 1;
  const std::string_view page = input.rest();
  const std::string file = dir.write("page.tmp", page);
  if (caseMode == MZK11_IGNORE_CASE) checkFold(page);

  std::vector<char> buffer(MZK11_RESULT_BUFFER_SIZE, kUntouched);
  const int32_t result =
      stringSearch(file.c_str(), static_cast<int32_t>(page.size()), caseMode, texts[0].c_str(),
                   connectors[0], texts[1].c_str(), connectors[1], texts[2].c_str(), connectors[2],
                   texts[3].c_str(), contextLines, maxLines, highlight, buffer.data(), 0);
  require(result >= 0);
  if (result == 0) {
    for (char c : buffer) require(c == kUntouched);
  } else {
    checkExtract(buffer);
  }
  return 0;
}
