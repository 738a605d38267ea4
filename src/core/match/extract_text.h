// The plain text of a library extract, for the command line: "\par" ends a
// line, "\uN?" is its character, groups and other control words vanish.
#pragma once

#include <string>
#include <string_view>

namespace quexa {

std::string plainTextOfExtract(std::string_view rtf);

}  // namespace quexa
