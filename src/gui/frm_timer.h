// frmTimer, "Quexa - Timer": the time of day at which the search of the
// current mode starts by itself, once. A modeless window over the core
// SearchTimer; the clock is injected, so the tests set the time of day.
#pragma once

#include <QPixmap>
#include <QWidget>
#include <array>
#include <functional>

#include "timer/search_clock.h"
#include "timer_frames.h"

class QLabel;
class QPushButton;
class QStatusBar;
class QTimer;

namespace quexa {

class FrmMain;

inline constexpr const char* kTimerCaption = "Quexa - Timer";

// The time of day of the system clock.
ClockTime systemClock();

class FrmTimer : public QWidget {
  Q_OBJECT

 public:
  // Form_Load: the default time from the clock, the timer off.
  FrmTimer(FrmMain& main, std::function<ClockTime()> clock);

  QLabel* labelTimer = nullptr;
  QPushButton* buttonAdd = nullptr;
  QPushButton* buttonSub = nullptr;
  QPushButton* buttonStart = nullptr;
  QPushButton* buttonStop = nullptr;  // "&Reset"
  QPushButton* buttonClose = nullptr;
  QStatusBar* statusTimer = nullptr;
  QTimer* timerTimer = nullptr;  // the tick, every 300 ms while armed
  QLabel* imageTimer = nullptr;
  std::array<QPixmap, kTimerFrameCount> imageListTimer;

  const SearchTimer& searchTimer() const { return timer_; }
  // The animation frame imageTimer shows, 1 to 9.
  int shownFrame() const { return shownFrame_; }

 public slots:
  void buttonAdd_Click();
  void buttonSub_Click();
  void buttonStart_Click();
  void buttonStop_Click();
  void buttonClose_Click();
  void timerTimer_Timer();

 protected:
  // Form_Unload: however the window closes, its timer dies with it and the
  // main window's Start comes back.
  void closeEvent(QCloseEvent* event) override;

 private:
  void createControls();
  void arrangeControls();
  void connectHandlers();
  void showTimer();
  void showFrame(int frame);

  FrmMain& main_;
  SearchTimer timer_;
  int shownFrame_ = 1;
  bool firing_ = false;  // the window closed itself to start the search
};

}  // namespace quexa
