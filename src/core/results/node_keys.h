// The result tree's node scheme: keys, texts and images of the five kinds of
// node. Keys are unique within the tree, and no key prefix holds "http", so
// the first "http" in a page or hit key is where its URL begins.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/window.h"

namespace quexa {

inline constexpr std::string_view kImageClosed = "closed";
inline constexpr std::string_view kImageOpen = "open";
inline constexpr std::string_view kImageLeaf = "leaf";
inline constexpr std::string_view kServerErrorSuffix = " (Server Error)";

// Site search. The index node groups the whole search; the site node (only
// when following links) groups one site's pages.
std::string indexNodeKey(std::string_view indexName);
NodeSpec indexNode(std::string_view indexName);
NodeSpec siteNode(std::string_view indexName, std::string_view siteUrl);
// "Yahoo" & Str(n) & page URL: the word only makes every key start alike.
std::string pageNodeKey(int64_t n, std::string_view pageUrl);
// The " (Server Error)" mark goes on the text, never on the key.
NodeSpec pageNode(std::string_view parentKey, int64_t n, std::string_view pageUrl,
                  std::string_view pageText, bool serverError);

// Following links: the page URL with "/" appended when its trimmed length
// equals the trimmed site URL's (the site's own page).
std::string linkedPageUrl(std::string_view pageUrl, std::string_view siteUrl);
// Following links: the page URL from where the site URL occurs in it to its
// end, or the whole URL when it does not occur.
std::string linkedPageText(std::string_view pageUrl, std::string_view siteUrl);

// One engine's names in the tree and the all-results pane.
struct EngineNodeNames {
  std::string_view nodeText;
  std::string_view hitKeyPrefix;
  std::string_view headingText;
};
// In the order the engine search visits them: Yahoo!, Lycos, InfoSeek,
// Excite, AltaVista. AltaVista's hit keys are spelled with a lower-case v.
inline constexpr std::array<EngineNodeNames, 5> kEngineNodeNames = {{
    {"Yahoo", "Yahoo", "Yahoo!"},
    {"Lycos", "Lycos", "Lycos"},
    {"InfoSeek", "InfoSeek", "InfoSeek"},
    {"Excite", "Excite", "Excite"},
    {"AltaVista", "Altavista", "AltaVista"},
}};

std::string engineNodeKey(const EngineNodeNames& engine);
NodeSpec engineNode(const EngineNodeNames& engine);
// Key: prefix & Str(n) & URL; text: Str(n) & ". " & title.
std::string hitNodeKey(const EngineNodeNames& engine, int64_t n, std::string_view url);
NodeSpec hitNode(const EngineNodeNames& engine, int64_t n, std::string_view url,
                 std::string_view title);

// The URL of a page or hit node: the lower-cased key from its first "http"
// on, or the whole lower-cased key when it holds none.
// keepCase: under the standard link rules an address keeps its letter case.
std::string urlFromNodeKey(std::string_view key, bool keepCase = false);

}  // namespace quexa
