#include "result_pane.h"

#include <QEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <cmath>
#include <string>

#include "app/state.h"
#include "pane_turn.h"
#include "results/pane_handlers.h"
#include "results/rtf_reader.h"

namespace quexa {

namespace {

constexpr const char* kPaneFontFamily = "Times New Roman";
constexpr int kPaneFontPoints = 9;

QString qs(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool isRtfDocument(std::string_view text) {
  return text.substr(0, 5) == "{\\rtf";
}

RunFormat runFormatOf(const QFont& font, const QBrush& foreground) {
  RunFormat format;
  format.bold = font.weight() >= QFont::Bold;
  format.italic = font.italic();
  format.underline = font.underline();
  format.fontSizeHalfPoints = static_cast<int>(std::lround(font.pointSizeF() * 2));
  format.fontName = font.families().value(0, font.family()).toStdString();
  if (foreground.style() != Qt::NoBrush) {
    const QColor color = foreground.color();
    format.color = Rgb{static_cast<uint8_t>(color.red()), static_cast<uint8_t>(color.green()),
                       static_cast<uint8_t>(color.blue())};
  }
  return format;
}

// A run's format as Qt draws it. A run whose document names no font takes
// the pane's own family.
QTextCharFormat charFormatOf(const RunFormat& format, const QString& paneFamily) {
  QTextCharFormat chars;
  chars.setFontFamilies({format.fontName.empty() ? paneFamily : qs(format.fontName)});
  chars.setFontPointSize(format.fontSizeHalfPoints / 2.0);
  chars.setFontWeight(format.bold ? QFont::Bold : QFont::Normal);
  chars.setFontItalic(format.italic);
  chars.setFontUnderline(format.underline);
  chars.setForeground(QColor(format.color.red, format.color.green, format.color.blue));
  return chars;
}

// What text without RTF looks like: the pane's default font, black.
RichText paneFontText(RichText text, const QFont& paneFont) {
  const RunFormat format = runFormatOf(paneFont, QBrush());
  for (Paragraph& paragraph : text.paragraphs)
    for (TextRun& run : paragraph.runs) run.format = format;
  return text;
}

}  // namespace

void preparePane(QTextEdit* pane) {
  const QFont font(kPaneFontFamily, kPaneFontPoints, QFont::Bold);
  pane->document()->setDefaultFont(font);
  pane->setCurrentFont(font);
  pane->setReadOnly(true);
  pane->setUndoRedoEnabled(false);
  new PaneTurn(pane);
}

void insertPaneRtf(QTextEdit* pane, std::string_view rtf) {
  QTextDocument* document = pane->document();
  const RichText text =
      isRtfDocument(rtf) ? readRtf(rtf) : paneFontText(readRtf(rtf), document->defaultFont());
  const QString family = document->defaultFont().family();
  PaneTurn* turn = PaneTurn::of(pane);
  if (turn != nullptr) turn->begin();
  QTextCursor caret(document);
  caret.movePosition(QTextCursor::End);
  // The pane's own caret at the end moves on with the text inserted there.
  const QTextCursor shown = pane->textCursor();
  const bool caretFollows = !shown.hasSelection() && shown.position() == caret.position();
  caret.beginEditBlock();
  for (size_t i = 0; i < text.paragraphs.size(); ++i) {
    if (i > 0) caret.insertBlock();
    for (const TextRun& run : text.paragraphs[i].runs)
      caret.insertText(qs(run.text), charFormatOf(run.format, family));
  }
  caret.endEditBlock();
  if (!caretFollows) pane->setTextCursor(caret);
  // Scrolling to the caret lays the pane's text out up to it; for a search
  // that lists an entry at every turn of the window that happens once a turn,
  // with the newest entry, as the person sees it.
  if (turn != nullptr)
    turn->scrollToCaret();
  else
    pane->ensureCursorVisible();
}

void clearPaneText(QTextEdit* pane) {
  endPaneTurn(pane);
  pane->clear();
}

void resetPaneText(QTextEdit* pane) {
  clearPaneText(pane);
  insertPaneRtf(pane, " ");
}

void moveCaretToEnd(QTextEdit* pane) {
  endPaneTurn(pane);
  QTextCursor caret = pane->textCursor();
  caret.movePosition(QTextCursor::End);
  pane->setTextCursor(caret);
}

RichText paneContent(const QTextDocument& document) {
  RichText content;
  content.paragraphs.clear();
  const QFont paneFont = document.defaultFont();
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    Paragraph paragraph;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (!fragment.isValid()) continue;
      const QTextCharFormat chars = fragment.charFormat();
      // A soft line break inside a block is still a line of the text.
      QString text = fragment.text();
      text.replace(QChar::LineSeparator, QLatin1Char('\n'));
      appendRun(paragraph, text.toStdString(),
                runFormatOf(chars.font().resolve(paneFont), chars.foreground()));
    }
    content.paragraphs.push_back(std::move(paragraph));
  }
  if (content.paragraphs.empty()) content.paragraphs.emplace_back();
  return content;
}

PaneClickGuard::PaneClickGuard(QTextEdit* allWebResult, QTextEdit* dispResult,
                               const AppState& state, Window& window, QObject* parent)
    : QObject(parent),
      allWebResult_(allWebResult),
      dispResult_(dispResult),
      state_(state),
      window_(window) {
  allWebResult_->viewport()->installEventFilter(this);
  dispResult_->viewport()->installEventFilter(this);
}

bool PaneClickGuard::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick) return false;
  QTextEdit* pane = nullptr;
  bool guarded = false;
  if (watched == allWebResult_->viewport()) {
    pane = allWebResult_;
    guarded = allWebResult_Click(state_, window_);
  } else if (watched == dispResult_->viewport()) {
    pane = dispResult_;
    guarded = dispResult_Click(state_, window_);
  }
  if (!guarded) return false;
  // The click is swallowed: the pane would otherwise move its caret to the
  // click before the next document arrives.
  moveCaretToEnd(pane);
  return true;
}

}  // namespace quexa
