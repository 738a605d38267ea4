// What the main window's controls hold when a search or result command
// starts. The searches read these values, never the window itself.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/settings.h"

namespace quexa {

inline constexpr int32_t kConnectorAnd = 210;
inline constexpr int32_t kConnectorOr = 211;
inline constexpr int32_t kConnectorNot = 212;
inline constexpr int32_t kCaseMatch = 200;
inline constexpr int32_t kCaseIgnore = 201;

struct MainControls {
  std::array<std::string, 4> searchText;  // the boxes searchText(0..3), raw
  // The selected button of Opt1..Opt3 as its code (210 AND, 211 OR, 212 NOT);
  // 0 when no button of the group is selected.
  std::array<int32_t, 3> connector{kConnectorAnd, kConnectorAnd, kConnectorAnd};
  Settings settings;                      // optCase, optSearchAll, proxy, numbers, engines, mode
  std::string searchCatText;              // the index chooser's text
  size_t searchCatCount = 0;              // how many names the chooser holds
  std::vector<std::string> listCategory;  // the URL list of the chosen index
  bool frameMineEnabled = true;           // "My Web Sites" mode
  // The crawl's link rules and robots.txt (qxoptions.ini, the Search Options
  // boxes, the command line's flags).
  bool standardLinks = false;
  bool ignoreRobots = false;
};

}  // namespace quexa
