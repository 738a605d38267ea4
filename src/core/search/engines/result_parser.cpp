#include "search/engines/result_parser.h"

#include "app/text.h"
#include "net/fetcher.h"

namespace quexa {

namespace {

constexpr size_t npos = std::string_view::npos;

// text.find(needle, from) for searches whose starting points mostly move
// forward: a found position is reused while the start has not passed it, so
// a page is read about once per marker however many links it holds.
class ForwardFinder {
 public:
  ForwardFinder(std::string_view text, std::string_view needle) : text_(text), needle_(needle) {}

  size_t find(size_t from) {
    bool reusable = searched_ && from >= lastFrom_ && (lastFound_ == npos || from <= lastFound_);
    if (!reusable) {
      lastFound_ = text_.find(needle_, from);
      lastFrom_ = from;
      searched_ = true;
    }
    return lastFound_;
  }

 private:
  std::string_view text_;
  std::string_view needle_;
  size_t lastFrom_ = 0;
  size_t lastFound_ = npos;
  bool searched_ = false;
};

// The link located in R: where R now starts, the URL, and how far Rest moves.
struct LocatedLink {
  size_t start = 0;      // R's first character in the page
  std::string_view url;  // a view into the lower-case copy, or the engine word
  size_t restStart = 0;  // Rest: R without its first K characters
};

constexpr std::string_view kTestBlockRejects[] = {"<img",   "</center", "</table",
                                                  "</form", "src",      "<input"};

class PageScan {
 public:
  PageScan(const EngineRow& row, std::string_view page)
      : row_(row),
        page_(page),
        lower_(lowerSameLength(page)),
        href_(lower_, "href"),
        quoteHttp_(lower_, "\"http"),
        quote_(lower_, "\""),
        closeTag_(lower_, ">"),
        openTag_(lower_, "<"),
        testEnd_(lower_, row.testTerminator),
        hitEnd_(lower_, row.hitTerminator),
        brHttp_(lower_, "<br>http"),
        engineWord_(lower_, row.engineWord),
        endAnchor_(lower_, "</a>") {}

  size_t firstHref() { return href_.find(0); }
  size_t nextHref(size_t restStart) { return href_.find(restStart); }

  LocatedLink locateLink(size_t p) {
    LocatedLink link;
    size_t quoted = quoteHttp_.find(p);
    link.start = quoted != npos ? quoted + 1 : p + 1;
    const size_t r = link.start;
    if (quoted == npos) {
      // No quoted absolute link follows: what is left ("ref=...") is no URL,
      // and is turned away like an engine link instead of being listed.
      link.url = row_.engineWord;
      link.restStart = r;
      return link;
    }
    size_t q = quote_.find(r);
    size_t g = closeTag_.find(r);
    size_t end = npos;
    if (q != npos) end = (g != npos && g < q) ? g : q;
    const size_t urlEnd = end == npos ? lower_.size() : end;
    size_t lt = openTag_.find(r);
    std::string_view lowerView(lower_);
    if (lt != npos && lt < urlEnd) {
      link.url = lowerView.substr(r, lt - r);
      link.restStart = lt;
    } else {
      // Without an end the "link" runs to the end of the page; the engine
      // word makes the engine-word test reject it.
      link.url = end == npos ? row_.engineWord : lowerView.substr(r, urlEnd - r);
      link.restStart = r;
    }
    return link;
  }

  // The anchor tests on the text after the URL and its two closing
  // characters.
  bool passesAnchorTests(std::string_view url, size_t after) {
    std::string testBlock = testBlockAt(after);
    if (testBlock.empty() || testBlock[0] == '\n' || testBlock[0] == '\r') return false;
    if (contains(url, " ") || contains(url, "%") || contains(url, ".gif")) return false;
    if (row_.extraRejection == ExtraRejection::TranslateInTestBlock &&
        contains(testBlock, "translate")) {
      return false;
    }
    if (row_.extraRejection == ExtraRejection::EngineWordBeforeBrHttp) {
      size_t next = brHttp_.find(after);
      if (next != npos && engineWord_.find(after) < next) return false;
    }
    if (contains(testBlock, row_.engineWord)) return false;
    for (std::string_view marker : kTestBlockRejects) {
      if (contains(testBlock, marker)) return false;
    }
    return true;
  }

  // The raw hit block, or none when its terminator does not follow.
  std::optional<std::string> hitBlockAt(size_t after) {
    size_t end = hitEnd_.find(after);
    if (end == npos) return std::nullopt;
    std::string block = ltrim(page_.substr(after, end - after));
    if (row_.blockFromFirstBold) {
      size_t bold = findNoCase(block, "<b>");
      if (bold != npos) block.erase(0, bold);
    }
    return block;
  }

  std::optional<std::string_view> anchorTextAt(size_t after) {
    size_t end = endAnchor_.find(after);
    if (end == npos) return std::nullopt;
    return page_.substr(after, end - after);
  }

  size_t size() const { return page_.size(); }

 private:
  std::string testBlockAt(size_t after) {
    size_t end = testEnd_.find(after);
    if (end == npos) return "";
    return ltrim(std::string_view(lower_).substr(after, end - after + 1));
  }

  const EngineRow& row_;
  std::string_view page_;
  std::string lower_;
  ForwardFinder href_, quoteHttp_, quote_, closeTag_, openTag_, testEnd_, hitEnd_, brHttp_,
      engineWord_, endAnchor_;
};

bool isEngineLink(std::string_view url) {
  for (std::string_view word : kEngineWords) {
    if (contains(url, word)) return true;
  }
  return false;
}

std::string nodeTitleCleanedUp(const EngineRow& row, std::string title) {
  switch (row.nodeTitleCleanup) {
    case NodeTitleCleanup::BoldPair:
      if (containsNoCase(title, "<b>")) {
        applyBlockStep(title, {BlockOp::Remove, "<b>"});
        applyBlockStep(title, {BlockOp::Remove, "</b>"});
      }
      break;
    case NodeTitleCleanup::None:
      break;
    case NodeTitleCleanup::FirstLine:
      for (char lineBreak : {'\n', '\r'}) {
        size_t at = title.find(lineBreak);
        if (at != std::string::npos) title.resize(at);
      }
      break;
  }
  return title;
}

}  // namespace

void cutHitTexts(const EngineRow& row, std::string_view rawBlock,
                 std::optional<std::string_view> anchorText, ParsedHit& hit) {
  std::string cleaned = applyBlockSteps(std::string(rawBlock), row.documentSteps);
  hit.hasDocumentEntry = true;
  hit.title.clear();
  hit.description.clear();
  bool split = row.documentSplit == BlockSplit::AtLineBreak
                   ? splitAtLineBreak(cleaned, hit.title, hit.description)
                   : splitAtEndAnchor(cleaned, hit.title, hit.description);
  if (!split) {
    hit.hasDocumentEntry = row.documentSplit != BlockSplit::AtLineBreak;
    if (row.documentSplit == BlockSplit::AtEndAnchorDescription) {
      hit.description = cleaned;
    } else {
      hit.title = cleaned;
    }
  }
  if (row.noShortDescription) replaceLoneLineBreak(hit.description);
  hit.description = ltrim(hit.description);

  std::optional<std::string> nodeTitle;
  if (row.nodeTitleSource == NodeTitleSource::CleanedBlock) {
    size_t end = findNoCase(cleaned, "</a>");
    if (end != std::string::npos) nodeTitle = cleaned.substr(0, end);
  } else if (anchorText) {
    nodeTitle = std::string(*anchorText);
  }
  hit.nodeTitle = nodeTitleCleanedUp(row, nodeTitle.value_or("No Title"));
}

namespace {

// The tests and cuts for one located link: the hit when it is to be listed.
std::optional<ParsedHit> examineLink(const EngineRow& row, PageScan& scan, const LocatedLink& link,
                                     const EngineHitStore& store, EngineProgress& progress) {
  if (isEngineLink(link.url)) return std::nullopt;
  progress.moreResults = true;
  if (store.containsText(link.url)) return std::nullopt;
  // The tag's closing quote and ">" are skipped blindly.
  const size_t after = std::min(link.start + link.url.size() + 2, scan.size());
  if (!scan.passesAnchorTests(link.url, after)) {
    if (row.rejectionLowersCount) progress.acceptedHits -= 1;
    return std::nullopt;
  }
  progress.acceptedHits += 1;
  std::optional<std::string> block = scan.hitBlockAt(after);
  if (!block) return std::nullopt;
  ParsedHit hit;
  hit.url = std::string(link.url);
  hit.rawBlock = std::move(*block);
  cutHitTexts(row, hit.rawBlock, scan.anchorTextAt(after), hit);
  return hit;
}

}  // namespace

PageOutcome parseResultPage(Engine engine, std::string_view page, const EngineHitStore& store,
                            EngineProgress& progress, const PageListener& listener,
                            EventPump& pump) {
  const EngineRow& row = engineRow(engine);
  PageScan scan(row, page);
  PageOutcome outcome;
  progress.moreResults = true;
  size_t p = scan.firstHref();
  if (p == npos) progress.moreResults = false;
  while (p != npos) {
    pump.pump();
    LocatedLink link = scan.locateLink(p);
    if (std::optional<ParsedHit> hit = examineLink(row, scan, link, store, progress)) {
      outcome.hitsOnPage += 1;
      if (listener.listHit) listener.listHit(*hit);
    }
    p = scan.nextHref(link.restStart);
    if (listener.linkExamined && !listener.linkExamined()) {
      outcome.endedByListener = true;
      break;
    }
  }
  return outcome;
}

}  // namespace quexa
