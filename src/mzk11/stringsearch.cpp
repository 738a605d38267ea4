// stringSearch: does a page hold the search texts as their connectors combine
// them, and which of its lines show it.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fold_case.h"
#include "mzk11.h"
#include "rtf_extract.h"
#include "visible_text.h"

namespace mzk11 {

namespace {

constexpr size_t kDefaultMaxLines = 30;
constexpr size_t kMostContextLines = 1000;

struct SearchText {
  std::string text;   // white space made single blanks, trimmed, folded in mode 201
  int32_t connector;  // to its left; unused for the first one
};

// The first bytes of the page file, mapped when it is a large regular file
// (no copy of it), read otherwise.
class PageBytes {
 public:
  PageBytes() = default;
  PageBytes(const PageBytes&) = delete;
  PageBytes& operator=(const PageBytes&) = delete;
  ~PageBytes() {
    if (mapped_) munmap(mapped_, mappedSize_);
  }

  bool open(const char* fileName, int32_t fileLength) {
    if (!fileName) return false;
    int fd = ::open(fileName, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    size_t wanted = fileLength > 0 ? static_cast<size_t>(fileLength) : 0;
    struct stat st {};
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
      wanted = std::min(wanted, static_cast<size_t>(st.st_size));
      // A usual page is read: mapping it costs more than copying it.
      if (wanted >= (1u << 20)) {
        void* m = mmap(nullptr, wanted, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (m != MAP_FAILED) {
          madvise(m, wanted, MADV_SEQUENTIAL);
          mapped_ = m;
          mappedSize_ = wanted;
          view_ = std::string_view(static_cast<const char*>(m), wanted);
          ::close(fd);
          return true;
        }
      }
    }
    readAll(fd, wanted);
    ::close(fd);
    return true;
  }
  std::string_view bytes() const { return view_; }

 private:
  void readAll(int fd, size_t wanted) {
    copy_.resize(wanted);
    size_t got = 0;
    while (got < wanted) {
      ssize_t n = ::read(fd, copy_.data() + got, wanted - got);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      got += static_cast<size_t>(n);
    }
    copy_.resize(got);
    view_ = copy_;
  }

  void* mapped_ = nullptr;
  size_t mappedSize_ = 0;
  std::string copy_;
  std::string_view view_;
};

bool isWhiteSpace(char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

std::string normalizedText(const char* raw, bool foldCase) {
  std::string out;
  if (!raw) return out;
  bool blank = false;
  for (const char* p = raw; *p; ++p) {
    if (isWhiteSpace(*p)) {
      blank = !out.empty();
      continue;
    }
    if (blank) out.push_back(' ');
    blank = false;
    out.push_back(*p);
  }
  return foldCase ? foldText(out) : out;
}

// The taking-part texts with the connector to the left of each.
std::vector<SearchText> searchTextsOf(const std::array<const char*, 4>& texts,
                                      const std::array<int32_t, 3>& connectors, bool foldCase) {
  std::vector<SearchText> out;
  for (size_t k = 0; k < texts.size(); ++k) {
    std::string t = normalizedText(texts[k], foldCase);
    if (!t.empty()) out.push_back({std::move(t), k == 0 ? MZK11_AND : connectors[k - 1]});
  }
  return out;
}

bool holds(std::string_view hay, const std::string& text) {
  return !hay.empty() && memmem(hay.data(), hay.size(), text.data(), text.size()) != nullptr;
}

bool combined(const std::vector<SearchText>& texts, std::string_view hay) {
  bool value = holds(hay, texts[0].text);
  for (size_t k = 1; k < texts.size(); ++k) {
    switch (texts[k].connector) {
      case MZK11_OR:
        value = value || holds(hay, texts[k].text);
        break;
      case MZK11_NOT:
        value = value && !holds(hay, texts[k].text);
        break;
      default:
        value = value && holds(hay, texts[k].text);
        break;
    }
  }
  return value;
}

// The texts whose presence counts for the page: all but the NOT ones.
std::vector<std::string> positiveTexts(const std::vector<SearchText>& texts) {
  std::vector<std::string> out;
  for (size_t k = 0; k < texts.size(); ++k)
    if (k == 0 || texts[k].connector != MZK11_NOT) out.push_back(texts[k].text);
  return out;
}

int32_t search(const char* fileName, int32_t fileLength, int32_t caseMode,
               const std::array<const char*, 4>& rawTexts, const std::array<int32_t, 3>& connectors,
               int32_t contextLines, int32_t maxLines, int32_t highlight, char* resultBuffer) {
  const bool foldCase = caseMode == MZK11_IGNORE_CASE;
  std::vector<SearchText> texts = searchTextsOf(rawTexts, connectors, foldCase);
  if (texts.empty()) return 0;
  VisibleText visible;
  {
    PageBytes page;
    if (!page.open(fileName, fileLength)) return 0;
    visible = visibleTextOf(page.bytes());
  }
  std::string_view searchable = visible.text;
  FoldedText folded;
  if (foldCase && !visible.text.empty()) {
    folded = foldPage(visible.text);
    searchable = folded.text;
  }
  if (!combined(texts, searchable)) return 0;

  ExtractRequest request;
  request.page = &visible;
  request.searchable = searchable;
  request.positions = &folded.positions;
  request.shownTexts = positiveTexts(texts);
  request.contextLines =
      std::min(static_cast<size_t>(std::max(contextLines, 0)), kMostContextLines);
  request.maxLines = maxLines > 0 ? static_cast<size_t>(maxLines) : kDefaultMaxLines;
  request.highlight = highlight == 1;
  request.capacity = MZK11_RESULT_BUFFER_SIZE;
  Extract extract = buildExtract(request);
  if (resultBuffer) {
    std::memcpy(resultBuffer, extract.rtf.data(), extract.rtf.size());
    resultBuffer[extract.rtf.size()] = '\0';
  }
  return std::max<int32_t>(extract.lines, 1);
}

}  // namespace

}  // namespace mzk11

extern "C" int32_t stringSearch(const char* fileName, int32_t fileLength, int32_t caseMode,
                                const char* text1, int32_t connector1, const char* text2,
                                int32_t connector2, const char* text3, int32_t connector3,
                                const char* text4, int32_t contextLines, int32_t maxLines,
                                int32_t highlight, char* resultBuffer, int32_t reserved) {
  (void)reserved;
  try {
    return mzk11::search(fileName, fileLength, caseMode, {text1, text2, text3, text4},
                         {connector1, connector2, connector3}, contextLines, maxLines, highlight,
                         resultBuffer);
  } catch (...) {
    return 0;  // out of memory: no match rather than an exception across the C boundary
  }
}
