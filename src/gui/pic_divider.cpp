#include "pic_divider.h"

#include <QMouseEvent>

namespace quexa {

PicDivider::PicDivider(QWidget* parent) : QFrame(parent) {
  setFrameShape(QFrame::VLine);
  setFrameShadow(QFrame::Raised);
  setCursor(Qt::SplitHCursor);
}

void PicDivider::mousePressEvent(QMouseEvent* event) {
  if (pressed_ == Qt::NoButton) pressed_ = event->button();
}

void PicDivider::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() & Qt::LeftButton) emit dragged(event->position().toPoint().x());
}

void PicDivider::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != pressed_) return;
  pressed_ = Qt::NoButton;
  emit released();
}

}  // namespace quexa
