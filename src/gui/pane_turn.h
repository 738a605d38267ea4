// What a result pane takes between two turns of the window at its events
// goes in as one edit. Each document's text, formats and caret are in the
// pane at once, as before; only laying the text out into lines waits: the
// pane lays out a turn's documents once, when the turn ends, instead of once
// per document (a long search lists an entry for every page or hit, and
// most of a pane's cost per entry was laying it out and measuring it again).
// The turn also takes the pane's scroll to its newest entry.
//
// A turn ends at the window's next turn at its events, before the pane gets
// any event of its own (so it is never drawn, clicked or typed into with
// text not laid out), before it is cleared, and wherever the window asks
// (print, save). The person sees the same text, and the pane holds the same
// document, as with an edit per document.
//
// Window thread only, like the pane.
#pragma once

#include <QObject>
#include <QTextCursor>

class QTextEdit;

namespace quexa {

class PaneTurn : public QObject {
  Q_OBJECT

 public:
  // Becomes the pane's child; panes without one take each document as its
  // own edit.
  explicit PaneTurn(QTextEdit* pane);

  // The pane's turn, or nullptr.
  static PaneTurn* of(const QTextEdit* pane);

  // Opens the turn's edit, if it is not open, and has the window end it at
  // its next turn. An edit that already holds kTurnCharacters is laid out
  // first: laying out text costs about its length, and the window must not
  // wait long for its next turn.
  void begin();
  static constexpr int kTurnCharacters = 16 * 1024;
  // At the end of the turn, the pane scrolls to its caret.
  void scrollToCaret();
  // Lays out what came in and does the turn's scroll; nothing when no turn
  // is open.
  void end();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Lays out what came in; the scroll stays for the turn.
  void layOut();
  // The window ends the turn when it next gets to its events.
  void post();

  QTextEdit* pane_;
  QTextCursor edit_;  // holds the turn's edit open
  int openedAt_ = 0;  // the pane's length when it opened
  bool open_ = false;
  bool posted_ = false;
  bool scroll_ = false;
};

// Ends the pane's turn, if it has one open.
void endPaneTurn(const QTextEdit* pane);

}  // namespace quexa
