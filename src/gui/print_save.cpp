#include "print_save.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>
#include <QTextFrame>
#include <memory>

#include "app/error_policy.h"
#include "app/errors.h"
#include "data/text_file.h"
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

void saveDocumentRtf(const QTextDocument& document, const std::string& path) {
  const std::string rtf = writeRtf(paneContent(document));
  try {
    rewriteBytes(path, path + "~", rtf);
  } catch (...) {
    // Failures the save table names keep their number; any other failure
    // of the write is still a failed save, never a quiet success.
    if (errorMessage(ErrorTable::Save, errorNumber(classifyCurrentException()))) throw;
    throw QuexaError(ErrorKind::SaveToFile, "the file " + path + " cannot be written");
  }
}

}  // namespace quexa
