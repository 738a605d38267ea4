#include "pic_divider.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

namespace quexa {

PicDivider::PicDivider(QWidget* parent) : QFrame(parent) {
  setCursor(Qt::SplitHCursor);
  setAttribute(Qt::WA_Hover);
}

void PicDivider::mousePressEvent(QMouseEvent* event) {
  if (pressed_ == Qt::NoButton) pressed_ = event->button();
  update();
}

void PicDivider::mouseMoveEvent(QMouseEvent* event) {
  if (event->buttons() & Qt::LeftButton) emit dragged(event->position().toPoint().x());
}

void PicDivider::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != pressed_) return;
  pressed_ = Qt::NoButton;
  update();
  emit released();
}

void PicDivider::enterEvent(QEnterEvent* event) {
  hovered_ = true;
  update();
  QFrame::enterEvent(event);
}

void PicDivider::leaveEvent(QEvent* event) {
  hovered_ = false;
  update();
  QFrame::leaveEvent(event);
}

void PicDivider::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QPalette& colours = palette();
  const QRect bar = rect();
  painter.fillRect(bar,
                   lit() ? colours.color(QPalette::Highlight) : colours.color(QPalette::Button));
  // Raised edges: light on the left, dark on the right.
  painter.setPen(colours.color(QPalette::Light));
  painter.drawLine(bar.topLeft(), bar.bottomLeft());
  painter.setPen(colours.color(QPalette::Dark));
  painter.drawLine(bar.topRight(), bar.bottomRight());
  // A grip of five dots in the middle, where the eye looks for one.
  painter.setPen(Qt::NoPen);
  painter.setBrush(lit() ? colours.color(QPalette::HighlightedText)
                         : colours.color(QPalette::Dark));
  const int dot = qMax(2, bar.width() / 2);
  const int x = bar.center().x() - dot / 2 + 1;
  for (int k = -2; k <= 2; ++k)
    painter.drawRect(x, bar.center().y() + k * dot * 2, dot - 1, dot - 1);
}

}  // namespace quexa
