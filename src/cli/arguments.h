// How quexa-cli reads its arguments: texts and addresses exactly as typed,
// and the numbers of the spin bars only within their ranges.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "app/settings.h"

namespace quexa::cli {

// The argument parser reads "[a,b]" as a list of two values. Search texts
// and addresses may hold brackets, so every argument of that form is marked
// before parsing and every option of the app tree takes the mark off again:
// each value reaches the program exactly as typed.
std::vector<std::string> markBracketedArguments(int argc, char** argv);
void keepArgumentsExact(CLI::App& app);

// Refuses (usage, exit 2) a number the window's spin bar would not reach,
// with a one-line reason naming the option.
void requireSpinNumber(std::string_view name, const std::string& text, SpinRange range);

// Text fit for a terminal: every control character (other than a line
// break or tab where keepLines) becomes "?", so a page cannot send the
// terminal escape sequences.
std::string terminalText(std::string_view text, bool keepLines = false);

}  // namespace quexa::cli
