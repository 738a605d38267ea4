// The data files' line I/O and their safe rewrite. Files are written as UTF-8
// with CRLF line ends; readers accept CRLF, LF and CR-only line ends, and
// lines that are not valid UTF-8 (taken as Windows-1252).
//
// A data file is used only while it is a regular file: a directory, FIFO or
// device at its name is refused (std::filesystem::filesystem_error saying
// "not a regular file") before anything reads or writes it, so such a name
// never holds the program up. Nothing here writes through a symbolic link.
//
// Thread-safety: the functions keep no state. Callers that read, change and
// write back a data file hold its directory's DataDirLock (data_dir_lock.h)
// from the read to the write, so no other process changes it in between.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace quexa {

// The file's lines. A missing file is created empty (the data files are
// created by being read); in a directory that may not be written to it reads
// as empty: reading never fails for want of writing. A missing directory is
// an error.
std::vector<std::string> readLines(const std::string& path);

// The lines of an optional file, which is never created: nothing when it is
// missing.
std::optional<std::vector<std::string>> readLinesIfPresent(const std::string& path);

// The file's first `limit` bytes as they are (the settings record), created
// empty when missing, as readLines.
std::string readBytes(const std::string& path, size_t limit);

// Appends each line with CRLF (creating the file when missing). A failed
// append cuts the file back to its old length.
void appendLines(const std::string& path, const std::vector<std::string>& lines);

// Replaces the file's whole content with these lines: written to a temporary
// file of its own (tempStem, then "." and six random characters, in the same
// directory; created new, never following a link), flushed to disk, then
// renamed over path, so an interruption leaves the old file or the new one,
// never none, and a data file never becomes a link. On every failure the
// temporary file is removed. A file left at tempStem itself (by an
// interrupted rewrite of an earlier version) is removed.
void rewriteLines(const std::string& path, const std::string& tempStem,
                  const std::vector<std::string>& lines);

// Same for raw bytes (the settings record, a saved RTF document).
void rewriteBytes(const std::string& path, const std::string& tempStem, const std::string& bytes);

}  // namespace quexa
