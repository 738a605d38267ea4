#include "match/expression.h"

#include <gtest/gtest.h>

namespace quexa {
namespace {

TEST(BuildExpression, UntickedCaseLowersThenTrimsAndIgnoresCase) {
  MainControls c;
  c.searchText = {"  Apple PIE ", "\xC3\x84pfel", "   ", ""};
  SearchExpression e = buildExpression(c);
  EXPECT_EQ(e.texts[0], "apple pie");
  EXPECT_EQ(e.texts[1], "\xC3\xA4pfel");
  EXPECT_EQ(e.texts[2], "");  // only blanks: an empty text
  EXPECT_EQ(e.texts[3], "");
  EXPECT_EQ(e.caseMode, 201);
}

TEST(BuildExpression, TickedCaseKeepsCapitalsAndMatchesCase) {
  MainControls c;
  c.settings.optCase = true;
  c.searchText = {"  Apple PIE ", "x", "", " Y"};
  SearchExpression e = buildExpression(c);
  EXPECT_EQ(e.texts[0], "Apple PIE");
  EXPECT_EQ(e.texts[3], "Y");
  EXPECT_EQ(e.caseMode, 200);
}

TEST(BuildExpression, ConnectorsAreTheSelectedCodes) {
  MainControls fresh;
  EXPECT_EQ(buildExpression(fresh).connectors, (std::array<int32_t, 3>{210, 210, 210}));
  MainControls c;
  c.connector = {kConnectorNot, kConnectorOr, kConnectorAnd};
  EXPECT_EQ(buildExpression(c).connectors, (std::array<int32_t, 3>{212, 211, 210}));
}

}  // namespace
}  // namespace quexa
