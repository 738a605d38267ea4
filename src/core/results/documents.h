// The documents the searches and the page view insert into the two result
// panes, each one whole RTF string. The View command reads the all-results
// pane back against these layouts: a site entry's URL ends in five blanks, a
// hit entry's URL in ")" and five blanks.
//
// Text that comes from pages (URLs, titles, descriptions, hit text) is
// escaped on the way in; the matched text of the matching library is
// already RTF and goes in unchanged.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quexa {

inline constexpr std::string_view kEntryUrlEnd = "     ";  // five blanks
inline constexpr std::string_view kServerErrorMessage =
    "Server error occurred. Server could be down. Search this URL again!";
inline constexpr std::string_view kLinkedServerErrorMessage = "Server Error Occured.";
inline constexpr std::string_view kNoMatchMessage = "No Match!";
inline constexpr std::string_view kNoShortDescription = "No Short Description!";

// The matched text in matchBuffer: the characters before its first NUL. A
// buffer without a NUL gives the empty text (site entry, page match view) or
// the whole buffer (linked page entry).
std::string_view matchedText(std::string_view matchBuffer);
std::string_view linkedMatchedText(std::string_view matchBuffer);

// Bodies of a site entry, a page match view and a linked page entry.
std::string matchingBody(std::string_view matchedText);
std::string serverErrorBody();        // the red "Server error occurred. ..." and two paragraph ends
std::string noMatchBody();            // "No Match!" (linked single-page search)
std::string linkedServerErrorBody();  // "Server Error Occured." (linked single-page search)

// Entry number: the digits, a full stop and a blank ("3. ").
std::string entryNumber(int64_t n);

// The all-results pane of a site search, one per listed page; n is the
// search-wide found count (1 for the first).
std::string siteEntry(int64_t n, std::string_view pageUrl, std::string_view body);

// Before an engine's first hit entry. spaced: two empty paragraphs first,
// see engineHeadingSpaced.
std::string engineHeading(std::string_view headingText, bool spaced);
// Every engine but the first (Yahoo!) spaces its heading when more than one
// hit is listed already.
bool engineHeadingSpaced(bool isFirstEngine, int64_t foundCountSoFar);

// The all-results pane of an engine search, one per listed hit.
std::string hitEntry(int64_t n, std::string_view title, std::string_view url,
                     std::string_view description);
// A description of exactly one line feed or one carriage return reads
// "No Short Description!"; any other comes back unchanged.
std::string_view shownDescription(std::string_view description);

// The page pane in site mode: the site entry without number and spacing.
std::string pageMatchView(std::string_view pageUrl, std::string_view body);

// The page pane in engine mode. detail is an RTF fragment: hitDetail() for a
// hit text that split into title and description, or unsplitHitDetail() of
// the cleaned hit text itself.
std::string hitDetailView(std::string_view detail);
std::string hitDetail(std::string_view title, std::string_view url, std::string_view description);
std::string unsplitHitDetail(std::string_view hitText);

// The page pane of the linked-page search, one per searched page.
std::string linkedPageEntry(std::string_view pageUrl, std::string_view body);

}  // namespace quexa
