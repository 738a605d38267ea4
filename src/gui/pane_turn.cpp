#include "pane_turn.h"

#include <QEvent>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

namespace quexa {

PaneTurn::PaneTurn(QTextEdit* pane) : QObject(pane), pane_(pane) {
  // Everything the pane is asked to do for the person (draw, take a click,
  // a key, a wheel turn, a new size) needs its text laid out.
  pane_->installEventFilter(this);
  pane_->viewport()->installEventFilter(this);
}

PaneTurn* PaneTurn::of(const QTextEdit* pane) {
  return pane->findChild<PaneTurn*>(QString(), Qt::FindDirectChildrenOnly);
}

void PaneTurn::begin() {
  QTextDocument* document = pane_->document();
  if (open_ && document->characterCount() - openedAt_ >= kTurnCharacters) layOut();
  if (!open_) {
    edit_ = QTextCursor(document);
    edit_.beginEditBlock();
    openedAt_ = document->characterCount();
    open_ = true;
  }
  post();
}

void PaneTurn::scrollToCaret() {
  scroll_ = true;
  post();
}

void PaneTurn::post() {
  if (posted_) return;
  posted_ = true;
  QTimer::singleShot(0, this, [this] {
    posted_ = false;
    end();
  });
}

void PaneTurn::layOut() {
  if (!open_) return;
  // Closed first: what the layout sends the pane comes back here.
  open_ = false;
  edit_.endEditBlock();
  edit_ = QTextCursor();
}

void PaneTurn::end() {
  layOut();
  if (!scroll_) return;
  scroll_ = false;
  pane_->ensureCursorVisible();
}

bool PaneTurn::eventFilter(QObject* watched, QEvent* event) {
  (void)watched;
  (void)event;
  // Scrolling waits for the turn itself: the pane may be in the middle of
  // drawing here.
  layOut();
  return false;
}

void endPaneTurn(const QTextEdit* pane) {
  if (PaneTurn* turn = PaneTurn::of(pane)) turn->end();
}

}  // namespace quexa
