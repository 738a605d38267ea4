#include "match/expression.h"

#include "app/text.h"

namespace quexa {

SearchExpression buildExpression(const MainControls& controls) {
  SearchExpression e;
  const bool matchCase = controls.settings.optCase;
  for (size_t k = 0; k < e.texts.size(); ++k) {
    std::string text = controls.searchText[k];
    if (!text.empty() && !matchCase) lowerSameLengthInPlace(text);
    e.texts[k] = trim(text);
  }
  e.caseMode = matchCase ? kCaseMatch : kCaseIgnore;
  e.connectors = controls.connector;
  return e;
}

}  // namespace quexa
