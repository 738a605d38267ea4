// Which document the "&Help" button opens.
#pragma once

#include <string>
#include <vector>

namespace quexa {

// The help file "quexa.hlp" in the data directory when it exists, else the
// first manual that exists among the candidates; empty when there is none.
std::string helpDocument(const std::string& dataDir, const std::vector<std::string>& manuals);

// Where the manual may be: beside the program, in its share folder, or in
// the source tree the program was built from.
std::vector<std::string> manualCandidates(const std::string& programDir);

}  // namespace quexa
