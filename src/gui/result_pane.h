// The two result panes, allWebResult and dispResult, as read-only rich-text
// controls. Documents come as RTF and are appended at the end, where the
// caret stays; the click guards keep it there while a writer runs, so
// documents never land in the middle of earlier ones.
#pragma once

#include <QObject>
#include <string_view>

#include "results/rich_text.h"

class QTextDocument;
class QTextEdit;

namespace quexa {

struct AppState;
class Window;

// Read-only, Times New Roman 9 pt bold, no undo history (a long search
// would otherwise keep every insert twice); its documents are laid out a
// turn of the window at a time (pane_turn.h).
void preparePane(QTextEdit* pane);

// Reads the document and inserts its runs at the end, the first paragraph
// continuing the pane's last one; the caret ends after the inserted text.
// Costs the size of the document, not of the pane. Text that is not RTF is
// inserted as it is, in the pane's font.
void insertPaneRtf(QTextEdit* pane, std::string_view rtf);
void clearPaneText(QTextEdit* pane);
// Cleared, then the single blank of an empty result.
void resetPaneText(QTextEdit* pane);
void moveCaretToEnd(QTextEdit* pane);

// The pane's content as paragraphs of formatted runs, the form "Sa&ve" writes.
RichText paneContent(const QTextDocument& document);

// The click guards: a click or double click in a pane while its writer runs
// beeps and leaves the caret at the end instead of moving it.
class PaneClickGuard : public QObject {
 public:
  PaneClickGuard(QTextEdit* allWebResult, QTextEdit* dispResult, const AppState& state,
                 Window& window, QObject* parent);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QTextEdit* allWebResult_;
  QTextEdit* dispResult_;
  const AppState& state_;
  Window& window_;
};

}  // namespace quexa
