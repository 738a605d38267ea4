#include "match/expression.h"

#include <gtest/gtest.h>

namespace quexa {
namespace {

TEST(BuildExpression, TextsTrimmedAndLoweredUnlessCaseIsTickedAndTheSelectedConnectors) {
  MainControls c;
  c.searchText = {"  Apple PIE ", "\xC3\x84pfel", "   ", " Y"};
  SearchExpression e = buildExpression(c);
  EXPECT_EQ(e.texts, (std::array<std::string, 4>{"apple pie", "\xC3\xA4pfel", "", "y"}));
  EXPECT_EQ(e.caseMode, 201);

  c.settings.optCase = true;
  e = buildExpression(c);
  EXPECT_EQ(e.texts, (std::array<std::string, 4>{"Apple PIE", "\xC3\x84pfel", "", "Y"}));
  EXPECT_EQ(e.caseMode, 200);
  // The connectors are the selected codes.
  EXPECT_EQ(e.connectors, (std::array<int32_t, 3>{210, 210, 210}));
  MainControls picked;
  picked.connector = {kConnectorNot, kConnectorOr, kConnectorAnd};
  EXPECT_EQ(buildExpression(picked).connectors, (std::array<int32_t, 3>{212, 211, 210}));
}

}  // namespace
}  // namespace quexa
