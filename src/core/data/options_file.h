// qxoptions.ini: the options that the 300-byte settings record has no room
// for: the number of connections a search fetches pages over, the link rules
// of a crawl, whether robots.txt is honoured and whether engine hits are
// checked:
//
//   [Options]
//   connections=4
//   links=classic        (or standard)
//   robots=honour        (or ignore)
//   checkhits=0          (or 1)
#pragma once

#include <string>

namespace quexa {

inline constexpr const char* kOptionsFileName = "qxoptions.ini";
inline constexpr const char* kOptionsTempName = "opttemp.st~";

struct Options {
  int connections = 4;  // 1 to 16
  bool standardLinks = false;  // links=standard; classic when absent
  bool ignoreRobots = false;   // robots=ignore; honour when absent
  bool checkHits = false;      // checkhits=1
};

// dataDir ends with '/'. A missing file is created empty and gives the
// defaults; a missing, unreadable or non-numeric value keeps its default and
// a number out of range is taken to the nearest end of it.
Options loadOptions(const std::string& dataDir);

// Rewrites the file whole (through its temporary file), keeping every other
// line of it; connections is taken into 1..16 first. A value that is not one
// of the words above keeps its default.
void saveOptions(const std::string& dataDir, const Options& options);

}  // namespace quexa
