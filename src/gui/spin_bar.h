// A spin bar: two small arrows beside a number box. It holds its own value
// inside a range; the box beside it is the value of record, so the bar only
// reports its changes and never reads the box.
#pragma once

#include <QWidget>

class QToolButton;

namespace quexa {

class SpinBar : public QWidget {
  Q_OBJECT

 public:
  explicit SpinBar(int minimum, int maximum, int step, QWidget* parent = nullptr);

  int value() const { return value_; }
  int minimum() const { return minimum_; }
  int maximum() const { return maximum_; }
  int step() const { return step_; }

  // Clamped to the range; valueChanged follows only a real change.
  void setValue(int value);
  // The same without valueChanged: for putting the bar in step with a box
  // whose text must stay as it is.
  void setValueQuietly(int value);

  // The up arrow raises the value.
  void stepUp() { setValue(value_ + step_); }
  void stepDown() { setValue(value_ - step_); }

  QToolButton* upArrow() const { return up_; }
  QToolButton* downArrow() const { return down_; }

 signals:
  void valueChanged(int value);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  int clamp(int value) const;

  int minimum_;
  int maximum_;
  int step_;
  int value_;
  QToolButton* up_;
  QToolButton* down_;
};

}  // namespace quexa
