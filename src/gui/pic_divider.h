// The splitter bar between the result tree and the page pane. It only
// reports the drag; the window decides where the bar and the panes go. It
// draws itself as a handle the person can see and find: a raised bar with
// a grip, lit while the mouse is over it or drags it.
#pragma once

#include <QFrame>

namespace quexa {

class PicDivider : public QFrame {
  Q_OBJECT

 public:
  explicit PicDivider(QWidget* parent = nullptr);

  bool lit() const { return hovered_ || pressed_ != Qt::NoButton; }

 signals:
  // The left button is held and the mouse moved; x is inside the bar.
  void dragged(int x);
  // The button that was pressed on the bar is released.
  void released();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  Qt::MouseButton pressed_ = Qt::NoButton;
  bool hovered_ = false;
};

}  // namespace quexa
