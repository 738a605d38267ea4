// The engine query string built from the search texts and connectors, and
// the request URL of each engine's result pages.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/controls.h"
#include "search/engines/engine_table.h"

namespace quexa {

// One search text as a query term: lower-cased unless Match case, trimmed; a
// text with blanks becomes a phrase, its words joined by "+" inside "%22".
// Nothing else is escaped.
std::string encodeSearchText(std::string_view text, bool optCase);

// The terms with their prefixes: term 1 "%2B" (none when connector 1 is OR),
// term k the prefix of connector k-1 (AND "%2B", OR "+", NOT "+-+"). Empty
// terms are skipped. A connector that is none of the three gives "".
std::string joinQueryTerms(const std::array<std::string, 4>& terms,
                           const std::array<int32_t, 3>& connectors);

std::string buildQueryString(const MainControls& controls);

// Where each engine is asked. A host may carry ":port".
struct EngineHosts {
  std::string yahooMain = "search.yahoo.com";  // "/bin/search", the second pass
  std::string yahooSecond = "ink.yahoo.com";   // "/bin/query", the first pass
  std::string lycos = "www.lycos.com";
  std::string infoseek = "www.infoseek.com";
  std::string excite = "search.excite.com";
  std::string altavista = "www.altavista.com";

  bool operator==(const EngineHosts&) const = default;
};

inline constexpr const char* kEngineHostsFileName = "qxhosts.ini";

// The built-in hosts, overridden by the optional qxhosts.ini in dataDir:
// sections [Yahoo] main= second=, [Lycos] [InfoSeek] [Excite] [AltaVista]
// host=. Names and keys ignore case, unknown ones are skipped, an empty value
// keeps the built-in host. A missing file is not created.
EngineHosts loadEngineHosts(const std::string& dataDir);

// "ENGINE=HOST[:PORT]" as given to --host; "yahoo" sets both Yahoo! hosts,
// "yahoo-main" and "yahoo-second" one each. False (nothing changed) for an
// unknown engine or an empty host.
bool applyHostOverride(EngineHosts& hosts, std::string_view assignment);

// The request URL for the engine's next result page. acceptedHits is the
// engine's count so far; yahooPass is 1 or 2 (ignored for the others).
std::string requestUrl(Engine engine, const EngineHosts& hosts, std::string_view query,
                       int32_t acceptedHits, int yahooPass = 1);

}  // namespace quexa
