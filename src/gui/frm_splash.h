// frmSplash, the start window: the product's name and lines, and Timer1,
// which loads the main window at its first tick and closes the splash.
#pragma once

#include <QWidget>

class QTimer;

namespace quexa {

class FrmMain;

class FrmSplash : public QWidget {
  Q_OBJECT

 public:
  explicit FrmSplash(QWidget* parent = nullptr);
  ~FrmSplash() override;

  QTimer* Timer1 = nullptr;  // 100 ms, one tick
  // The main window once Timer1 has loaded it. It deletes itself when it
  // closes.
  FrmMain* mainWindow() const { return main_; }

 public slots:
  void Timer1_Timer();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  FrmMain* main_ = nullptr;
};

}  // namespace quexa
