#include "search/engines/opensearch/user_engine.h"

#include <array>
#include <vector>

#include "app/text.h"
#include "search/engines/engine_table.h"

namespace quexa {

namespace {

constexpr std::array<std::pair<ResultFormat, std::string_view>, 3> kFormatNames{{
    {ResultFormat::Rss, "rss"},
    {ResultFormat::Atom, "atom"},
    {ResultFormat::SearxngJson, "searxng-json"},
}};

// One "{name}" or "{name?}" of a template; the name without its namespace
// prefix.
struct TemplateParameter {
  size_t begin = 0;  // the "{"
  size_t end = 0;    // after the "}"
  std::string name;
  bool optional = false;
  bool prefixed = false;
};

std::vector<TemplateParameter> templateParameters(std::string_view t) {
  std::vector<TemplateParameter> found;
  size_t at = 0;
  while ((at = t.find('{', at)) != std::string_view::npos) {
    const size_t close = t.find('}', at);
    if (close == std::string_view::npos) break;
    TemplateParameter p;
    p.begin = at;
    p.end = close + 1;
    std::string_view name = t.substr(at + 1, close - at - 1);
    if (!name.empty() && name.back() == '?') {
      p.optional = true;
      name.remove_suffix(1);
    }
    if (const size_t colon = name.find(':'); colon != std::string_view::npos) {
      p.prefixed = true;
      name.remove_prefix(colon + 1);
    }
    p.name = std::string(name);
    found.push_back(std::move(p));
    at = close + 1;
  }
  return found;
}

// The value of a parameter the search knows; nullopt for any other.
std::optional<std::string> parameterValue(const TemplateParameter& p, std::string_view query,
                                          int startIndex, int startPage) {
  if (p.prefixed) return std::nullopt;
  if (p.name == "searchTerms") return percentEscape(query);
  if (p.name == "startIndex") return std::to_string(startIndex);
  if (p.name == "startPage") return std::to_string(startPage);
  if (p.name == "count") return p.optional ? "" : "10";
  if (p.name == "language") return p.optional ? "" : "*";
  if (p.name == "inputEncoding" || p.name == "outputEncoding") return "UTF-8";
  return std::nullopt;
}

std::string queryTerm(std::string_view text) {
  const std::string t = trim(text);
  if (t.find(' ') == std::string::npos) return t;
  // Runs of blanks count as one between the words of a phrase.
  std::string phrase;
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] == ' ' && !phrase.empty() && phrase.back() == ' ') continue;
    phrase += t[i];
  }
  return "\"" + phrase + "\"";
}

}  // namespace

std::string_view formatName(ResultFormat format) {
  for (const auto& [f, name] : kFormatNames)
    if (f == format) return name;
  return "rss";
}

std::optional<ResultFormat> formatNamed(std::string_view name) {
  const std::string lower = lowerSameLength(trim(name));
  for (const auto& [f, n] : kFormatNames)
    if (lower == n) return f;
  return std::nullopt;
}

std::string engineNameRefusal(std::string_view name) {
  const std::string trimmed = trim(name);
  if (trimmed.empty()) return "An engine needs a name.";
  if (trimmed != name) return "An engine name cannot begin or end with blanks.";
  if (name.size() > 60) return "An engine name can have at most 60 characters.";
  for (char c : name) {
    if (c == '[' || c == ']') return "An engine name cannot hold brackets.";
    if (c == '\r' || c == '\n') return "An engine name cannot hold line breaks.";
    if (c == '\\') return "An engine name cannot hold a backslash.";
    if (static_cast<unsigned char>(c) < 0x20)
      return "An engine name cannot hold control characters.";
  }
  if (!isValidUtf8(name)) return "An engine name must be UTF-8 text.";
  const std::string lower = lowerSameLength(name);
  if (contains(lower, "http")) return "An engine name cannot hold \"http\".";
  if (engineNamed(lower)) return "\"" + trimmed + "\" is the name of a built-in engine.";
  return "";
}

std::string templateRefusal(std::string_view urlTemplate) {
  const std::string lower = lowerSameLength(urlTemplate);
  if (!startsWith(lower, "http://") && !startsWith(lower, "https://"))
    return "An engine address must start with http:// or https://.";
  for (char c : urlTemplate)
    if (static_cast<unsigned char>(c) <= 0x20) return "An engine address cannot hold blanks.";
  // Kept as a line of a sectioned file, where brackets would open a section.
  for (char c : urlTemplate)
    if (c == '[' || c == ']') return "An engine address cannot hold brackets (write %5B, %5D).";
  bool terms = false;
  for (const TemplateParameter& p : templateParameters(urlTemplate)) {
    if (p.name == "searchTerms" && !p.prefixed) terms = true;
    if (!p.optional && !parameterValue(p, "", 1, 1))
      return "The address asks for {" + p.name + "}, which the search cannot fill.";
  }
  if (!terms) return "An engine address must hold {searchTerms}.";
  return "";
}

std::string openSearchQuery(const MainControls& controls) {
  std::string q;
  for (size_t k = 0; k < 4; ++k) {
    const std::string term = queryTerm(controls.searchText[k]);
    if (term.empty()) continue;
    const int32_t connector = k == 0 ? kConnectorAnd : controls.connector[k - 1];
    if (!q.empty()) q += connector == kConnectorOr ? " OR " : " ";
    if (k > 0 && connector == kConnectorNot) q += '-';
    q += term;
  }
  return q;
}

std::string fillTemplate(std::string_view urlTemplate, std::string_view query, int startIndex,
                         int startPage) {
  std::string url;
  size_t from = 0;
  for (const TemplateParameter& p : templateParameters(urlTemplate)) {
    url += urlTemplate.substr(from, p.begin - from);
    url += parameterValue(p, query, startIndex, startPage).value_or("");
    from = p.end;
  }
  url += urlTemplate.substr(from);
  return url;
}

bool templatePages(std::string_view urlTemplate) {
  for (const TemplateParameter& p : templateParameters(urlTemplate))
    if (!p.prefixed && (p.name == "startIndex" || p.name == "startPage")) return true;
  return false;
}

std::string percentEscape(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                            (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~';
    if (unreserved) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

}  // namespace quexa
