#include "results/documents.h"

#include "app/text.h"
#include "results/rtf_blocks.h"
#include "results/rtf_text.h"

namespace quexa {
namespace {

std::string_view beforeFirstNul(std::string_view buffer, std::string_view whenNone) {
  size_t nul = buffer.find('\0');
  return nul == std::string_view::npos ? whenNone : buffer.substr(0, nul);
}

// Concatenates the parts of a document in order.
template <typename... Parts>
std::string joined(const Parts&... parts) {
  std::string out;
  out.reserve((std::string_view(parts).size() + ...));
  (out.append(std::string_view(parts)), ...);
  return out;
}

std::string redMessageBody(std::string_view message) {
  return joined(rtfRedText, message, rtfPar, rtfPar);
}

}  // namespace

std::string_view matchedText(std::string_view matchBuffer) {
  return beforeFirstNul(matchBuffer, {});
}

std::string_view linkedMatchedText(std::string_view matchBuffer) {
  return beforeFirstNul(matchBuffer, matchBuffer);
}

std::string matchingBody(std::string_view matched) {
  return joined(rtfPlainText, matched);
}
std::string serverErrorBody() {
  return redMessageBody(kServerErrorMessage);
}
std::string noMatchBody() {
  return joined(rtfPlainText, kNoMatchMessage, rtfPar, rtfPar);
}
std::string linkedServerErrorBody() {
  return redMessageBody(kLinkedServerErrorMessage);
}

std::string entryNumber(int64_t n) {
  return ltrim(str(n)) + ". ";
}

std::string siteEntry(int64_t n, std::string_view pageUrl, std::string_view body) {
  // From the second entry on, one empty line separates the entries.
  std::string_view spacing = n > 1 ? rtfPar : std::string_view{};
  return joined(rtfHeader, rtfBoldBlue, spacing, entryNumber(n), rtfEscape(pageUrl), kEntryUrlEnd,
                rtfEntryLineEnd, body, rtfClose);
}

std::string engineHeading(std::string_view headingText, bool spaced) {
  std::string spacing = spaced ? joined(rtfPar, rtfPar) : std::string{};
  return joined(rtfHeader, spacing, rtfHeading, rtfEscape(headingText), rtfClose, rtfPar, rtfClose);
}

bool engineHeadingSpaced(bool isFirstEngine, int64_t foundCountSoFar) {
  return !isFirstEngine && foundCountSoFar > 1;
}

std::string hitEntry(int64_t n, std::string_view title, std::string_view url,
                     std::string_view description) {
  return joined(rtfHeader, rtfPar, rtfPar, rtfBoldBlue, entryNumber(n), rtfEscape(title), rtfPar,
                rtfClose, rtfPlainGroup, "(", rtfEscape(url), ")", kEntryUrlEnd, rtfPar, rtfPar,
                rtfClose, rtfPlainGroup, rtfEscape(ltrim(description)), rtfClose, rtfClose);
}

std::string_view shownDescription(std::string_view description) {
  return description == "\n" || description == "\r" ? kNoShortDescription : description;
}

std::string pageMatchView(std::string_view pageUrl, std::string_view body) {
  return joined(rtfHeader, rtfBoldBlue, rtfEscape(pageUrl), kEntryUrlEnd, rtfEntryLineEnd, body,
                rtfClose);
}

std::string hitDetailView(std::string_view detail) {
  return joined(rtfHeader, rtfBoldBlue, "Short Description:", rtfPar, rtfPar, rtfClose, detail,
                rtfPar, rtfPar, rtfClose);
}

std::string hitDetail(std::string_view title, std::string_view url, std::string_view description) {
  return joined(rtfPlainGroup, rtfEscape(title), rtfPar, "(", rtfEscape(url), ")", rtfPar, rtfPar,
                rtfEscape(ltrim(description)), rtfClose);
}

std::string unsplitHitDetail(std::string_view hitText) {
  return rtfEscape(hitText);
}

std::string linkedPageEntry(std::string_view pageUrl, std::string_view body) {
  return joined(rtfHeader, rtfPar, rtfBoldBlue, rtfEscape(pageUrl), rtfPar, rtfPar, rtfClose,
                rtfPlainGroup, body, rtfClose, rtfClose);
}

}  // namespace quexa
