// An OpenSearch description document read into an engine definition: its
// ShortName and the Url whose answers the search can read, RSS before Atom
// before JSON (taken as a SearXNG answer), with its offsets. Pure; safe for
// concurrent use.
#pragma once

#include <string>
#include <string_view>

#include "search/engines/opensearch/user_engine.h"

namespace quexa {

struct DescribedEngine {
  bool usable = false;  // false: error says why
  std::string error;
  UserEngine engine;  // name = ShortName (may be empty), urlTemplate, format, offsets
};

DescribedEngine readDescriptionDocument(std::string_view body);

}  // namespace quexa
