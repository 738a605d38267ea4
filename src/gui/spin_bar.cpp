#include "spin_bar.h"

#include <QToolButton>
#include <algorithm>

namespace quexa {

namespace {
QToolButton* makeArrow(Qt::ArrowType type, QWidget* parent) {
  auto* arrow = new QToolButton(parent);
  arrow->setArrowType(type);
  arrow->setAutoRepeat(true);
  arrow->setFocusPolicy(Qt::NoFocus);
  return arrow;
}
}  // namespace

SpinBar::SpinBar(int minimum, int maximum, int step, QWidget* parent)
    : QWidget(parent),
      minimum_(minimum),
      maximum_(maximum),
      step_(step),
      value_(minimum),
      up_(makeArrow(Qt::UpArrow, this)),
      down_(makeArrow(Qt::DownArrow, this)) {
  connect(up_, &QToolButton::clicked, this, &SpinBar::stepUp);
  connect(down_, &QToolButton::clicked, this, &SpinBar::stepDown);
}

int SpinBar::clamp(int value) const {
  return std::clamp(value, minimum_, maximum_);
}

void SpinBar::setValue(int value) {
  const int clamped = clamp(value);
  if (clamped == value_) return;
  value_ = clamped;
  emit valueChanged(value_);
}

void SpinBar::setValueQuietly(int value) {
  value_ = clamp(value);
}

void SpinBar::resizeEvent(QResizeEvent*) {
  const int upper = height() / 2;
  up_->setGeometry(0, 0, width(), upper);
  down_->setGeometry(0, upper, width(), height() - upper);
}

}  // namespace quexa
