// The search expression: the four search texts, the case mode and the three
// connectors, built once when a search starts and fixed for its whole run.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "app/controls.h"

namespace quexa {

struct SearchExpression {
  std::array<std::string, 4> texts;  // trimmed; lower-cased unless case matters; may be empty
  int32_t caseMode = kCaseIgnore;    // 200 match case, 201 ignore case
  std::array<int32_t, 3> connectors{kConnectorAnd, kConnectorAnd, kConnectorAnd};
};

// Reads the four boxes as they stand. Without "&Match Case" each text is
// lower-cased before it is trimmed of blanks; the connectors are the codes of
// the selected buttons of Opt1..Opt3.
SearchExpression buildExpression(const MainControls& controls);

}  // namespace quexa
