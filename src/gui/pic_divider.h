// The splitter bar between the result tree and the page pane. It only
// reports the drag; the window decides where the bar and the panes go.
#pragma once

#include <QFrame>

namespace quexa {

class PicDivider : public QFrame {
  Q_OBJECT

 public:
  explicit PicDivider(QWidget* parent = nullptr);

 signals:
  // The left button is held and the mouse moved; x is inside the bar.
  void dragged(int x);
  // The button that was pressed on the bar is released.
  void released();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  Qt::MouseButton pressed_ = Qt::NoButton;
};

}  // namespace quexa
