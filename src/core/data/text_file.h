// The data files' line I/O and their safe rewrite. Files are written as UTF-8
// with CRLF line ends; readers accept CRLF, LF and CR-only line ends, and
// lines that are not valid UTF-8 (taken as Windows-1252).
#pragma once

#include <string>
#include <vector>

namespace quexa {

// Creates the file empty when it is missing (as opening it for appending
// would), then returns its lines.
std::vector<std::string> readLines(const std::string& path);

// Appends each line with CRLF (creating the file when missing).
void appendLines(const std::string& path, const std::vector<std::string>& lines);

// Replaces the file's whole content with these lines: written to tempPath (in
// the same directory), flushed to disk, then renamed over path, so an
// interruption leaves the old file or the new one, never none.
void rewriteLines(const std::string& path, const std::string& tempPath,
                  const std::vector<std::string>& lines);

// Same for raw bytes (the settings record).
void rewriteBytes(const std::string& path, const std::string& tempPath, const std::string& bytes);

}  // namespace quexa
