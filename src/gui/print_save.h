// "&Print" and "Sa&ve" of the shown result pane: the page loop that lays the
// pane's text out on the printer with one-inch margins, and the RTF file.
#pragma once

#include <QRectF>
#include <stdexcept>
#include <string>

class QPrinter;
class QTextDocument;

namespace quexa {

inline constexpr double kPrintMarginInches = 1.0;

// Where the text goes on each page, in the printer's device pixels with the
// origin at the printable area's corner (where a painter on the printer
// starts): one inch from every edge of the paper, the printer's unprintable
// border subtracted.
QRectF printDrawRect(const QPrinter& printer);

// Prints the whole document page after page into the draw rectangle and
// returns the number of pages. Throws QuexaError(PrinterError) when the
// printer cannot start a job or a page.
int printDocument(const QTextDocument& document, QPrinter& printer);

// The number the "Operation Error" dialog shows for a save the file system
// refuses: the person may not write the file or its folder.
inline constexpr int kPermissionDeniedNumber = 70;

struct SaveRefused : std::runtime_error {
  explicit SaveRefused(const std::string& path)
      : std::runtime_error("Permission denied: " + path) {}
};

// Writes the document as one RTF file, replacing the file whole: the bytes go
// to a temporary file of a unique name beside the target, which then takes
// its place, so an old file stays intact until the new one is complete. An
// existing file keeps its permissions, a symbolic link keeps pointing at its
// target (which is written), and no other file in the folder is touched.
// Throws SaveRefused when the person may not write there; a failure the save
// table does not name becomes QuexaError(SaveToFile).
void saveDocumentRtf(const QTextDocument& document, const std::string& path);

}  // namespace quexa
