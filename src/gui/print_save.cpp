#include "print_save.h"

#include <fcntl.h>
#include <unistd.h>
#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QSaveFile>
#include <QTextDocument>
#include <QTextFrame>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <system_error>

#include "app/error_policy.h"
#include "app/errors.h"
#include "result_pane.h"
#include "results/rtf_writer.h"

namespace quexa {

QRectF printDrawRect(const QPrinter& printer) {
  const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
  const QRectF printable = printer.pageRect(QPrinter::DevicePixel);
  const double marginX = kPrintMarginInches * printer.resolution();
  const double marginY = kPrintMarginInches * printer.resolution();
  const double leftOffset = printable.left() - paper.left();
  const double topOffset = printable.top() - paper.top();
  QRectF draw(QPointF(marginX - leftOffset, marginY - topOffset),
              QPointF(paper.width() - marginX - leftOffset, paper.height() - marginY - topOffset));
  // Paper too small for the margins still gets its text, on the printable area.
  if (draw.width() <= 0 || draw.height() <= 0) draw = QRectF(QPointF(0, 0), printable.size());
  return draw;
}

int printDocument(const QTextDocument& document, QPrinter& printer) {
  // The pane's own document stays laid out for the screen; the copy is laid
  // out for the printer, one draw rectangle per page.
  std::unique_ptr<QTextDocument> copy(document.clone());
  copy->setDefaultFont(document.defaultFont());
  QPainter painter;
  if (!painter.begin(&printer))
    throw QuexaError(ErrorKind::PrinterError, "the printer cannot start the job");
  copy->documentLayout()->setPaintDevice(&printer);
  QTextFrameFormat frame = copy->rootFrame()->frameFormat();
  frame.setMargin(0);
  copy->rootFrame()->setFrameFormat(frame);
  const QRectF draw = printDrawRect(printer);
  copy->setPageSize(draw.size());

  const int pages = copy->pageCount();
  for (int page = 0; page < pages; ++page) {
    if (page > 0 && !printer.newPage()) {
      painter.end();
      throw QuexaError(ErrorKind::PrinterError, "the printer cannot start a new page");
    }
    const double pageTop = page * draw.height();
    painter.save();
    painter.translate(draw.left(), draw.top() - pageTop);
    copy->drawContents(&painter, QRectF(0, pageTop, draw.width(), draw.height()));
    painter.restore();
  }
  painter.end();
  return pages;
}

namespace {

bool isRefusal(int error) {
  return error == EACCES || error == EPERM || error == EROFS;
}

// The file a save writes: a symbolic link is followed to its target, even a
// dangling one, so the link itself stays.
QString savedFile(const QString& path) {
  QFileInfo file(path);
  for (int hops = 0; file.isSymLink() && hops < 40; ++hops)
    file.setFile(file.absoluteDir(), file.symLinkTarget());
  return file.absoluteFilePath();
}

// Whether the person may write there: an existing file must be writable
// (then even a locked folder is written through the file itself); a new one
// needs a writable folder.
bool mayWrite(const QString& file) {
  const QFileInfo info(file);
  const std::string probe =
      (info.exists() ? info.absoluteFilePath() : info.absolutePath()).toStdString();
  if (::faccessat(AT_FDCWD, probe.c_str(), W_OK, AT_EACCESS) == 0) return true;
  return !isRefusal(errno);
}

// The failure of a save step by its errno, as the save table reads it.
[[noreturn]] void throwSaveFailure(const std::string& path) {
  const int error = errno;
  if (isRefusal(error)) throw SaveRefused(path);
  if (error == 0)
    throw QuexaError(ErrorKind::SaveToFile, "the file " + path + " cannot be written");
  throw std::filesystem::filesystem_error("cannot save", path,
                                          std::error_code(error, std::generic_category()));
}

void writeRtfFile(const std::string& rtf, const std::string& path) {
  const QString target = savedFile(QString::fromStdString(path));
  if (!mayWrite(target)) throw SaveRefused(path);
  QSaveFile file(target);
  // A writable file in a folder that takes no new files is still saved, in
  // place; everywhere else the old file stays whole until the new one is.
  file.setDirectWriteFallback(true);
  errno = 0;
  if (!file.open(QIODevice::WriteOnly)) throwSaveFailure(path);
  errno = 0;
  if (file.write(rtf.data(), static_cast<qint64>(rtf.size())) != static_cast<qint64>(rtf.size()))
    throwSaveFailure(path);
  errno = 0;
  if (!file.commit()) throwSaveFailure(path);
}

}  // namespace

void saveDocumentRtf(const QTextDocument& document, const std::string& path) {
  const std::string rtf = writeRtf(paneContent(document));
  try {
    writeRtfFile(rtf, path);
  } catch (const SaveRefused&) {
    throw;
  } catch (...) {
    // Failures the save table names keep their number; any other failure
    // of the write is still a failed save, never a quiet success.
    if (errorMessage(ErrorTable::Save, errorNumber(classifyCurrentException()))) throw;
    throw QuexaError(ErrorKind::SaveToFile, "the file " + path + " cannot be written");
  }
}

}  // namespace quexa
