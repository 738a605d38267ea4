#include "visible_text.h"

#include <sys/mman.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <new>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "entities.h"

namespace mzk11 {

// A mapping costs a system call each way and, on a machine with several
// cores, a flush of the other cores' address caches when it goes; for the
// usual page a heap block is far cheaper. Large pages are still mapped.
constexpr size_t kMapFrom = 1u << 20;

void MappedRelease::operator()(char* p) const {
  if (p == nullptr) return;
  if (size < kMapFrom)
    std::free(p);
  else
    munmap(p, size);
}

TextBytes allocateTextBytes(size_t size) {
  if (size < kMapFrom) {
    void* block = std::calloc(std::max<size_t>(size, 1), 1);
    if (block == nullptr) throw std::bad_alloc();
    return TextBytes(static_cast<char*>(block), MappedRelease{size});
  }
  void* p = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) throw std::bad_alloc();
  // Fewer page faults on a large page; a plain mapping works all the same.
  if (size >= (2u << 20)) madvise(p, size, MADV_HUGEPAGE);
  return TextBytes(static_cast<char*>(p), MappedRelease{size});
}

size_t VisibleText::lineAt(size_t pos) const {
  auto it = std::upper_bound(lineStarts.begin(), lineStarts.end(), pos);
  return it == lineStarts.begin() ? 0 : static_cast<size_t>(it - lineStarts.begin()) - 1;
}

namespace {

enum ByteClass : unsigned char { kPlain, kSpace, kTagOpen, kEntity };

constexpr std::array<unsigned char, 256> makeByteClasses() {
  std::array<unsigned char, 256> classes{};
  for (int c = 0; c < 0x20; ++c) classes[c] = kSpace;  // line ends, tabs, NUL, controls
  classes[' '] = kSpace;
  classes[0x7F] = kSpace;
  classes['<'] = kTagOpen;
  classes['&'] = kEntity;
  return classes;
}
constexpr auto kByteClasses = makeByteClasses();

unsigned char byteClass(char c) {
  return kByteClasses[static_cast<unsigned char>(c)];
}

// Copies the plain bytes at the front of [s, end) to `o` and returns their
// count. Sixteen bytes at a time: `o` may be written up to 16 bytes past the
// copied ones, which the line buffer leaves room for.
size_t plainPrefix(const char* s, const char* end, char* o) {
  const char* const start = s;
#if defined(__SSE2__)
  const __m128i limit = _mm_set1_epi8(0x20);
  const __m128i lt = _mm_set1_epi8('<');
  const __m128i amp = _mm_set1_epi8('&');
  const __m128i del = _mm_set1_epi8(0x7F);
  while (end - s >= 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(o + (s - start)), v);
    // Bytes up to 0x20 (unsigned), '<', '&' and DEL end the run.
    __m128i low = _mm_cmpeq_epi8(_mm_min_epu8(v, limit), v);
    __m128i marks = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, lt), _mm_cmpeq_epi8(v, amp)),
                                 _mm_or_si128(low, _mm_cmpeq_epi8(v, del)));
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(marks));
    if (mask) return static_cast<size_t>(s - start) + static_cast<size_t>(__builtin_ctz(mask));
    s += 16;
  }
#endif
  while (s < end && byteClass(*s) == kPlain) {
    o[s - start] = *s;
    ++s;
  }
  return static_cast<size_t>(s - start);
}

char lowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}
bool isAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isAsciiAlnum(char c) {
  return isAsciiLetter(c) || (c >= '0' && c <= '9');
}
bool isTagSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// What a tag does to the text around it.
enum class TagEffect { None, LineBreak, Blank, Raw };

// Tags are looked up by length first: every tag of a page passes here.
TagEffect effectOf(std::string_view name) {
  auto any = [&](std::initializer_list<std::string_view> names) {
    for (std::string_view n : names)
      if (n == name) return true;
    return false;
  };
  constexpr TagEffect kBreak = TagEffect::LineBreak;
  switch (name.size()) {
    case 1:
      return name[0] == 'p' ? kBreak : TagEffect::None;
    case 2:
      if (name == "td" || name == "th") return TagEffect::Blank;
      if (name[0] == 'h' && name[1] >= '1' && name[1] <= '6') return kBreak;
      return any({"br", "li", "tr", "ul", "ol", "dl", "dd", "dt", "hr"}) ? kBreak : TagEffect::None;
    case 3:
      return any({"div", "pre", "nav"}) ? kBreak : TagEffect::None;
    case 4:
      return any({"body", "head", "form", "main"}) ? kBreak : TagEffect::None;
    case 5:
      if (name == "style") return TagEffect::Raw;
      return any({"table", "title", "aside", "thead", "tbody", "tfoot"}) ? kBreak : TagEffect::None;
    case 6:
      if (name == "script") return TagEffect::Raw;
      return any({"center", "header", "footer", "option", "figure", "legend"}) ? kBreak
                                                                               : TagEffect::None;
    case 7:
      return any({"address", "caption", "section", "article"}) ? kBreak : TagEffect::None;
    case 8:
      return name == "fieldset" ? kBreak : TagEffect::None;
    case 10:
      return any({"blockquote", "figcaption"}) ? kBreak : TagEffect::None;
    default:
      return TagEffect::None;
  }
}

// The first '>', '"' or '\'' in [from, end); end when there is none.
const char* findTagMark(const char* from, const char* end) {
#if defined(__SSE2__)
  const __m128i gt = _mm_set1_epi8('>');
  const __m128i dq = _mm_set1_epi8('"');
  const __m128i sq = _mm_set1_epi8('\'');
  while (end - from >= 16) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
    __m128i marks = _mm_or_si128(_mm_cmpeq_epi8(v, gt),
                                 _mm_or_si128(_mm_cmpeq_epi8(v, dq), _mm_cmpeq_epi8(v, sq)));
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(marks));
    if (mask) return from + __builtin_ctz(mask);
    from += 16;
  }
#endif
  for (; from < end; ++from)
    if (*from == '>' || *from == '"' || *from == '\'') return from;
  return end;
}

// Room past the text for plainPrefix's whole-block stores.
constexpr size_t kSlack = 32;

// Collects the lines into a buffer as large as the page: the visible text is
// never longer than the markup it comes from. A blank is written only between
// two words of a line, and a line end only before the first word of the next
// line, so lines come out trimmed and never empty.
class LineWriter {
 public:
  LineWriter(VisibleText& out, size_t capacity) : out_(out) {
    out_.bytes = allocateTextBytes(capacity + kSlack);
    out_.lineStarts.reserve(capacity / 32);
    begin_ = end_ = out_.bytes.get();
  }
  void finish() { out_.text = std::string_view(begin_, static_cast<size_t>(end_ - begin_)); }

  // Makes room for the next word: the line end or blank that goes before it.
  char* wordStart() {
    if (!lineOpen_) {
      if (end_ != begin_) *end_++ = '\n';
      out_.lineStarts.push_back(static_cast<size_t>(end_ - begin_));
      lineOpen_ = true;
    } else if (blankPending_) {
      *end_++ = ' ';
    }
    blankPending_ = false;
    return end_;
  }
  void wordEnd(char* end) { end_ = end; }
  void words(const char* p, size_t n) {
    char* o = wordStart();
    std::memcpy(o, p, n);
    wordEnd(o + n);
  }
  void blank() { blankPending_ = true; }
  void lineEnd() {
    lineOpen_ = false;
    blankPending_ = false;
  }

 private:
  VisibleText& out_;
  char* begin_;
  char* end_;
  bool lineOpen_ = false;
  bool blankPending_ = false;
};

class PageReader {
 public:
  PageReader(std::string_view page, VisibleText& out)
      : p_(page.data()), n_(page.size()), w_(out, page.size()) {}

  void run() {
    size_t i = 0;
    while (i < n_) {
      switch (byteClass(p_[i])) {
        case kPlain:
          i = plainRun(i);
          break;
        case kSpace:
          i = whiteSpace(i);
          break;
        case kTagOpen:
          i = tagOrLessThan(i);
          break;
        case kEntity:
          i = entity(i);
          break;
      }
    }
    w_.finish();
  }

 private:
  // Words and the single blanks between them go straight through; anything
  // else goes back to run().
  size_t plainRun(size_t i) {
    char* o = w_.wordStart();
    const char* s = p_ + i;
    const char* const end = p_ + n_;
    for (;;) {
      size_t n = plainPrefix(s, end, o);
      s += n;
      o += n;
      if (s + 1 < end && *s == ' ' && byteClass(s[1]) == kPlain) {
        *o++ = ' ';
        ++s;
        continue;
      }
      break;
    }
    w_.wordEnd(o);
    return static_cast<size_t>(s - p_);
  }

  size_t whiteSpace(size_t i) {
    if (p_[i] == '\n' && preDepth_ > 0)
      w_.lineEnd();
    else
      w_.blank();
    return i + 1;
  }

  size_t tagOrLessThan(size_t i) {
    char next = i + 1 < n_ ? p_[i + 1] : '\0';
    if (next == '!' && i + 3 < n_ && p_[i + 2] == '-' && p_[i + 3] == '-')
      return afterComment(i + 4);
    if (!isAsciiLetter(next) && next != '/' && next != '!' && next != '?') {
      w_.words(p_ + i, 1);  // "a < b": an ordinary character
      return i + 1;
    }
    return afterTag(i);
  }

  size_t afterComment(size_t from) {
    const void* end = memmem(p_ + from, n_ - from, "-->", 3);
    if (!end) return n_;
    return static_cast<size_t>(static_cast<const char*>(end) - p_) + 3;
  }

  size_t afterTag(size_t i) {
    size_t j = i + 1;
    bool closing = p_[j] == '/';
    if (closing) ++j;
    char name[12];
    size_t len = 0;
    for (; j < n_ && isAsciiAlnum(p_[j]); ++j)
      if (len < sizeof name) name[len++] = lowerAscii(p_[j]);
    size_t end = tagEnd(j);
    if (end == n_) return n_;
    TagEffect effect = len < sizeof name ? effectOf({name, len}) : TagEffect::None;
    switch (effect) {
      case TagEffect::Raw:
        if (!closing) return afterRawText(end + 1, {name, len});
        break;
      case TagEffect::LineBreak:
        w_.lineEnd();
        if (len == 3 && std::string_view(name, 3) == "pre") preDepth_ += closing ? -1 : 1;
        preDepth_ = std::max(preDepth_, 0);
        break;
      case TagEffect::Blank:
        w_.blank();
        break;
      case TagEffect::None:
        break;
    }
    return end + 1;
  }

  // The ">" that closes a tag, skipping quoted attribute values; n_ when the
  // tag never closes.
  size_t tagEnd(size_t j) const {
    const size_t start = j;
    const char* const end = p_ + n_;
    while (j < n_) {
      size_t k = static_cast<size_t>(findTagMark(p_ + j, end) - p_);
      if (k == n_ || p_[k] == '>') return k;
      // A quote opens a value only right after "=" (blanks between allowed).
      size_t b = k;
      while (b > start && isTagSpace(p_[b - 1])) --b;
      if (b > start && p_[b - 1] == '=') {
        const void* q = memchr(p_ + k + 1, p_[k], n_ - k - 1);
        if (!q) return n_;
        j = static_cast<size_t>(static_cast<const char*>(q) - p_) + 1;
      } else {
        j = k + 1;
      }
    }
    return n_;
  }

  // Script and style content runs to the first "</script" or "</style",
  // whatever it holds.
  size_t afterRawText(size_t from, std::string_view name) {
    for (size_t j = from; j < n_;) {
      const void* lt = memchr(p_ + j, '<', n_ - j);
      if (!lt) return n_;
      j = static_cast<size_t>(static_cast<const char*>(lt) - p_);
      if (closesRawText(j, name)) {
        size_t end = tagEnd(j + 2 + name.size());
        return end == n_ ? n_ : end + 1;
      }
      ++j;
    }
    return n_;
  }

  bool closesRawText(size_t j, std::string_view name) const {
    if (j + 2 + name.size() > n_ || p_[j + 1] != '/') return false;
    for (size_t k = 0; k < name.size(); ++k)
      if (lowerAscii(p_[j + 2 + k]) != name[k]) return false;
    size_t after = j + 2 + name.size();
    return after == n_ || !isAsciiAlnum(p_[after]);
  }

  size_t entity(size_t i) {
    DecodedEntity e = decodeEntity({p_ + i, n_ - i});
    if (e.length == 0) {
      w_.words(p_ + i, 1);
      return i + 1;
    }
    if (e.codePoint == 0xA0 || e.codePoint < 0x20 || e.codePoint == ' ' || e.codePoint == 0x7F) {
      w_.blank();
    } else {
      char utf8[4];
      w_.words(utf8, encodeUtf8(e.codePoint, utf8));
    }
    return i + e.length;
  }

  const char* p_;
  size_t n_;
  LineWriter w_;
  int preDepth_ = 0;
};

}  // namespace

VisibleText visibleTextOf(std::string_view page) {
  VisibleText out;
  PageReader(page, out).run();
  return out;
}

}  // namespace mzk11
