// The user's own Web engines: search services of today that take a query
// through an address template with {searchTerms} and answer in RSS, Atom or
// JSON. They are kept in qxengines.ini and asked after the five built-in
// engines. Plain data and pure functions; safe for concurrent use.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "app/controls.h"

namespace quexa {

enum class ResultFormat { Rss, Atom, SearxngJson };

// "rss", "atom", "searxng-json"; the reverse ignores letter case.
std::string_view formatName(ResultFormat format);
std::optional<ResultFormat> formatNamed(std::string_view name);

struct UserEngine {
  std::string name;  // the section name; also root node, heading and hit key prefix
  std::string urlTemplate;
  ResultFormat format = ResultFormat::Rss;
  int indexOffset = 1;  // the first {startIndex}
  int pageOffset = 1;   // the first {startPage}
  bool ticked = false;
};

// Why a name cannot be an engine's, or "" when it can. The name becomes a
// section header and the prefix of hit keys, so it may hold no bracket, line
// break or backslash, nor "http" (a hit key's address starts at its first
// "http"), nor be a built-in engine's name.
std::string engineNameRefusal(std::string_view name);

// Why a template cannot be asked, or "" when it can: it must be an http or
// https address holding {searchTerms}, and every other parameter it asks for
// without "?" must be one the search fills.
std::string templateRefusal(std::string_view urlTemplate);

// The search texts as a query of today: AND as a blank, OR as " OR ", NOT as
// "-" before the text, a text holding blanks in double quotes, case as typed.
std::string openSearchQuery(const MainControls& controls);

// The template filled for one result page: the query and the encodings
// percent-escaped as UTF-8, {startIndex} and {startPage} the numbers given,
// {count} 10, {language} "*", every unknown optional parameter empty.
std::string fillTemplate(std::string_view urlTemplate, std::string_view query, int startIndex,
                         int startPage);

// Whether the template pages at all (asks for {startIndex} or {startPage});
// one without either has a single result page.
bool templatePages(std::string_view urlTemplate);

// RFC 3986 percent-escapes of every byte but the unreserved ones.
std::string percentEscape(std::string_view text);

}  // namespace quexa
