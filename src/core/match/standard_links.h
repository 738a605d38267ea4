// The links of a page under the standard link rules: the href of <a> and
// <area> and the src of <frame> and <iframe>, as an HTML parser reads them
// (quoted or not, character references decoded; nothing inside comments,
// <script> or <style>), resolved against the page's address or its first
// <base href>, normalized, and kept when they stay on the site's host.
//
// A pure function of its arguments with no shared state: safe for concurrent
// use from any thread, so pages fetched ahead may be read on worker threads.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quexa {

// page is the whole page text in UTF-8 (its head too: <base> lives there);
// pageUrl its final address after redirects; scopeHost the site's host in
// lower case (entryHost), any scheme and port. Links come in page order,
// repeats included; the crawl's visited set drops those.
// wholePage: the parser reads every byte of the page, not markupOnly's
// shortened copy (the two must give the same links; the fuzz check compares).
std::vector<std::string> readStandardLinks(std::string_view page, std::string_view pageUrl,
                                           std::string_view scopeHost, bool wholePage = false);

// The page cut down to what decides its links, for the parser: most of its
// time goes to text, which holds no link. Each run of text between tags
// becomes one character ("." or the run itself when it is only blanks), a tag
// that can hold no link loses its attributes, the insides of <script> and
// <style> go; link tags, end tags, comments and doctypes stay byte for byte.
// nullopt when the page holds markup that the parser might read otherwise
// than this cut assumes (a quote or "<" where no attribute value starts, an
// unclosed tag or comment, "</" inside a script, ...): then the parser reads
// the whole page.
std::optional<std::string> markupOnly(std::string_view page);

}  // namespace quexa
