// qxengines.ini: the user's own Web engines, one section each, named as the
// user names them, in the order they are asked:
//
//   [My SearXNG]
//   url=http://localhost:8888/search?q={searchTerms}&format=json&pageno={startPage}
//   format=searxng-json
//   ticked=1
//
// with indexoffset= and pageoffset= when a description document gave other
// first numbers than 1. The file is not created until an engine is added.
// Requires external synchronization (one data-file user at a time).
#pragma once

#include <string>
#include <vector>

#include "search/engines/opensearch/user_engine.h"

namespace quexa {

inline constexpr const char* kEngineFileName = "qxengines.ini";
inline constexpr const char* kEngineTempName = "engtemp.st~";

// The engines in file order. A missing file gives none; a section without a
// usable url= or format= is skipped (and kept in the file as it is).
std::vector<UserEngine> loadUserEngines(const std::string& dataDir);

// Why an engine cannot be added (its name or its template), or "" when it
// can; the names in the file are compared ignoring letter case.
std::string userEngineRefusal(const std::string& dataDir, const UserEngine& engine);

// Appends the engine's section (creating the file). Throws
// std::invalid_argument with the refusal text when it is refused.
void addUserEngine(const std::string& dataDir, const UserEngine& engine);

// Removes the named engine's section (exact name). False when there is none.
bool removeUserEngine(const std::string& dataDir, const std::string& name);

// Sets or clears ticked= of the named engine, keeping its other lines.
// False when there is no such engine.
bool tickUserEngine(const std::string& dataDir, const std::string& name, bool ticked);

}  // namespace quexa
