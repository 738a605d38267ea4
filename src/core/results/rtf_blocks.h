// The RTF building blocks every result document is made of. The View
// command reads the panes back against the layouts they produce, so each
// block is kept byte for byte, blanks included.
#pragma once

#include <string_view>

namespace quexa {

// Opens the document group: fonts f0 to f5; colour 0 black, 1 red, 2 blue.
inline constexpr std::string_view rtfHeader =
    R"({\rtf1\ansi\deff0\deftab720{\fonttbl{\f0\fswiss MS Sans Serif;}{\f1\froman\fcharset2 Symbol;}{\f2\froman\fprq2 Times New Roman;}{\f3\froman Times New Roman;}{\f4\froman Times New Roman;}{\f5\fmodern\fprq1 Courier New;} }{\colortbl\red0\green0\blue0;\red255\green0\blue0;\red0\green0\blue255;})";
// Opens a 9-point bold blue group.
inline constexpr std::string_view rtfBoldBlue = R"({\fs18\cf2\b )";
// Closes the bold blue group, then two paragraph ends: the line ends and one
// empty line follows.
inline constexpr std::string_view rtfEntryLineEnd =
    R"(\f4\fs18}\pard {\fs18 \par} \pard {\fs18 \par })";
// One paragraph end.
inline constexpr std::string_view rtfPar = R"({\f4\fs18}\pard {\fs18 \par})";
// 9-point red text follows.
inline constexpr std::string_view rtfRedText = R"(\fs18\cf1\ )";
// 9-point text follows.
inline constexpr std::string_view rtfPlainText = R"(\fs18 )";
// Opens a 9-point group.
inline constexpr std::string_view rtfPlainGroup = R"({\fs18 )";
// Opens a 12-point bold red group.
inline constexpr std::string_view rtfHeading = R"({\fs24\cf1\b )";
// Closes a group; the last one closes the document.
inline constexpr std::string_view rtfClose = "}";

}  // namespace quexa
