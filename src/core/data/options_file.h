// qxoptions.ini: the options that the 300-byte settings record has no room
// for. Today that is the number of connections a search fetches pages over:
//
//   [Options]
//   connections=4
#pragma once

#include <string>

namespace quexa {

inline constexpr const char* kOptionsFileName = "qxoptions.ini";
inline constexpr const char* kOptionsTempName = "opttemp.st~";

struct Options {
  int connections = 4;  // 1 to 16
};

// dataDir ends with '/'. A missing file is created empty and gives the
// defaults; a missing, unreadable or non-numeric value keeps its default and
// a number out of range is taken to the nearest end of it.
Options loadOptions(const std::string& dataDir);

// Rewrites the file whole (through its temporary file), keeping every other
// line of it; connections is taken into 1..16 first.
void saveOptions(const std::string& dataDir, const Options& options);

}  // namespace quexa
