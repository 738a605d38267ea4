#include "search/engines/queries.h"

#include "app/text.h"
#include "data/text_file.h"

namespace quexa {

namespace {

constexpr std::string_view kRequiredMark = "%2B";
constexpr std::string_view kBlank = "+";
constexpr std::string_view kExclusionMark = "+-+";
constexpr std::string_view kPhraseQuote = "%22";

bool prefixFor(int32_t connector, std::string_view& prefix) {
  switch (connector) {
    case kConnectorAnd:
      prefix = kRequiredMark;
      return true;
    case kConnectorOr:
      prefix = kBlank;
      return true;
    case kConnectorNot:
      prefix = kExclusionMark;
      return true;
    default:
      return false;
  }
}

std::string lowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::string* hostField(EngineHosts& hosts, std::string_view section, std::string_view key) {
  if (section == "yahoo") {
    if (key == "main") return &hosts.yahooMain;
    if (key == "second") return &hosts.yahooSecond;
    return nullptr;
  }
  if (key != "host") return nullptr;
  if (section == "lycos") return &hosts.lycos;
  if (section == "infoseek") return &hosts.infoseek;
  if (section == "excite") return &hosts.excite;
  if (section == "altavista") return &hosts.altavista;
  return nullptr;
}

const std::string& hostOf(Engine engine, const EngineHosts& hosts, int yahooPass) {
  switch (engine) {
    case Engine::Yahoo:
      return yahooPass == 2 ? hosts.yahooMain : hosts.yahooSecond;
    case Engine::Lycos:
      return hosts.lycos;
    case Engine::InfoSeek:
      return hosts.infoseek;
    case Engine::Excite:
      return hosts.excite;
    case Engine::AltaVista:
      break;
  }
  return hosts.altavista;
}

// Engines read a query's letters as UTF-8 percent-escapes; the bytes of
// non-ASCII letters would otherwise go onto the wire raw. ASCII stays as
// typed, "&", "%", "+" and "#" included.
std::string escapeNonAscii(std::string_view q) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(q.size());
  for (char c : q) {
    auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      out += c;
    } else {
      out += '%';
      out += kHex[b >> 4];
      out += kHex[b & 0xF];
    }
  }
  return out;
}

}  // namespace

std::string encodeSearchText(std::string_view text, bool optCase) {
  std::string t = trim(optCase ? std::string(text) : lowerSameLength(text));
  if (t.find(' ') == std::string::npos) return t;
  // A phrase: runs of blanks between the words count as one.
  std::string phrase;
  std::string_view rest(t);
  while (!rest.empty()) {
    size_t end = rest.find(' ');
    if (!phrase.empty()) phrase += kBlank;
    phrase += rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);
    while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  }
  return std::string(kPhraseQuote) + phrase + std::string(kPhraseQuote);
}

std::string joinQueryTerms(const std::array<std::string, 4>& terms,
                           const std::array<int32_t, 3>& connectors) {
  std::array<std::string_view, 4> prefixes;
  for (size_t k = 0; k < connectors.size(); ++k) {
    if (!prefixFor(connectors[k], prefixes[k + 1])) return "";
  }
  prefixes[0] = connectors[0] == kConnectorOr ? std::string_view() : kRequiredMark;
  std::string q;
  for (size_t k = 0; k < terms.size(); ++k) {
    if (terms[k].empty()) continue;
    q += prefixes[k];
    q += terms[k];
  }
  return q;
}

std::string buildQueryString(const MainControls& controls) {
  std::array<std::string, 4> terms;
  for (size_t k = 0; k < terms.size(); ++k) {
    terms[k] = encodeSearchText(controls.searchText[k], controls.settings.optCase);
  }
  return joinQueryTerms(terms, controls.connector);
}

EngineHosts loadEngineHosts(const std::string& dataDir) {
  EngineHosts hosts;
  // Only a regular file is read: a FIFO of that name would hold the search.
  const auto lines = readLinesIfPresent(dataDir + kEngineHostsFileName);
  if (!lines) return hosts;
  std::string section;
  for (const std::string& line : *lines) {
    std::string name;
    if (isHeaderLine(line, &name)) {
      section = lowerAscii(name);
      continue;
    }
    size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    std::string value = trim(line.substr(eq + 1));
    std::string* field = hostField(hosts, section, lowerAscii(trim(line.substr(0, eq))));
    if (field != nullptr && !value.empty()) *field = value;
  }
  return hosts;
}

bool applyHostOverride(EngineHosts& hosts, std::string_view assignment) {
  size_t eq = assignment.find('=');
  if (eq == std::string_view::npos) return false;
  std::string name = lowerAscii(trim(assignment.substr(0, eq)));
  std::string host = trim(assignment.substr(eq + 1));
  if (host.empty()) return false;
  if (name == "yahoo") {
    hosts.yahooMain = hosts.yahooSecond = host;
    return true;
  }
  std::string* field = nullptr;
  if (name == "yahoo-main") {
    field = &hosts.yahooMain;
  } else if (name == "yahoo-second") {
    field = &hosts.yahooSecond;
  } else {
    field = hostField(hosts, name, "host");
  }
  if (field == nullptr) return false;
  *field = host;
  return true;
}

std::string requestUrl(Engine engine, const EngineHosts& hosts, std::string_view query,
                       int32_t acceptedHits, int yahooPass) {
  const int64_t next = static_cast<int64_t>(acceptedHits) + 1;
  std::string url = "http://" + hostOf(engine, hosts, yahooPass);
  const std::string q = escapeNonAscii(query);
  switch (engine) {
    case Engine::Yahoo:
      url += (yahooPass == 2 ? "/bin/search" : "/bin/query");
      url += "?p=" + q + "&h=s&b=" + str(next);
      break;
    case Engine::Lycos:
      url += "/cgi-bin/pursuit?cat=lycos&first=" + digits(next) + "&query=" + q;
      break;
    case Engine::InfoSeek:
      url += "/Titles?qt=" + q + "&st=" + str(next);
      break;
    case Engine::Excite:
      url += "/search.gw?s=" + q + "&start=" + str(acceptedHits);
      break;
    case Engine::AltaVista:
      url += "/cgi-bin/query?q=" + q + "&stq=" + str(next);
      break;
  }
  return url;
}

}  // namespace quexa
