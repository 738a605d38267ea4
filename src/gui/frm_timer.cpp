#include "frm_timer.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>

#include "frm_main.h"

namespace quexa {

namespace {

constexpr int kFrameSize = 40;

QPushButton* makeButton(const char* caption, const char* toolTip, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setToolTip(toolTip);
  return button;
}

}  // namespace

ClockTime systemClock() {
  const QTime now = QTime::currentTime();
  return ClockTime{now.hour(), now.minute()};
}

FrmTimer::FrmTimer(FrmMain& main, std::function<ClockTime()> clock)
    : QWidget(&main, Qt::Window), main_(main), timer_(std::move(clock)) {
  setWindowTitle(kTimerCaption);
  createControls();
  arrangeControls();
  connectHandlers();
  showTimer();
  showFrame(1);
  // Over the middle of the main window.
  move(main.geometry().center() - rect().center());
}

void FrmTimer::createControls() {
  labelTimer = new QLabel(this);
  labelTimer->setToolTip("Time set to start searching");
  labelTimer->setAlignment(Qt::AlignCenter);
  labelTimer->setFrameShape(QFrame::StyledPanel);
  labelTimer->setFrameShadow(QFrame::Sunken);
  QFont large = labelTimer->font();
  large.setPointSizeF(large.pointSizeF() * 1.8);
  large.setBold(true);
  labelTimer->setFont(large);
  labelTimer->setMinimumWidth(150);

  buttonAdd = makeButton("+", "Increase time", this);
  buttonSub = makeButton("-", "Decrease time", this);
  for (QPushButton* step : {buttonAdd, buttonSub}) step->setFixedWidth(32);
  buttonStart = makeButton("&Start", "Start timer", this);
  buttonStop = makeButton("&Reset", "Reset time", this);
  buttonClose = makeButton("&Close", "Exit timer", this);

  imageTimer = new QLabel(this);
  imageTimer->setFixedSize(kFrameSize, kFrameSize);
  imageListTimer = drawTimerFrames(kFrameSize);

  statusTimer = new QStatusBar(this);
  statusTimer->setSizeGripEnabled(false);

  timerTimer = new QTimer(this);
  timerTimer->setInterval(kTickMilliseconds);
}

void FrmTimer::arrangeControls() {
  auto* time = new QHBoxLayout;
  time->addWidget(imageTimer);
  time->addSpacing(6);
  time->addWidget(labelTimer, 1);
  time->addWidget(buttonAdd);
  time->addWidget(buttonSub);

  auto* commands = new QHBoxLayout;
  commands->addWidget(buttonStart);
  commands->addWidget(buttonStop);
  commands->addStretch(1);
  commands->addWidget(buttonClose);

  auto* body = new QVBoxLayout;
  body->setContentsMargins(12, 12, 12, 10);
  body->setSpacing(6);
  for (QHBoxLayout* row : {time, commands}) row->setSpacing(6);
  body->addLayout(time);
  body->addSpacing(10);
  body->addLayout(commands);

  auto* whole = new QVBoxLayout(this);
  whole->setContentsMargins(0, 0, 0, 0);
  whole->setSpacing(0);
  whole->addLayout(body);
  whole->addWidget(statusTimer);
  setFixedSize(sizeHint().expandedTo(QSize(330, 0)));
}

void FrmTimer::connectHandlers() {
  connect(buttonAdd, &QPushButton::clicked, this, &FrmTimer::buttonAdd_Click);
  connect(buttonSub, &QPushButton::clicked, this, &FrmTimer::buttonSub_Click);
  connect(buttonStart, &QPushButton::clicked, this, &FrmTimer::buttonStart_Click);
  connect(buttonStop, &QPushButton::clicked, this, &FrmTimer::buttonStop_Click);
  connect(buttonClose, &QPushButton::clicked, this, &FrmTimer::buttonClose_Click);
  connect(timerTimer, &QTimer::timeout, this, &FrmTimer::timerTimer_Timer);
}

void FrmTimer::showTimer() {
  labelTimer->setText(QString::fromStdString(timer_.labelText()));
  statusTimer->showMessage(QString::fromStdString(timer_.statusText()));
  buttonAdd->setEnabled(timer_.stepButtonsEnabled());
  buttonSub->setEnabled(timer_.stepButtonsEnabled());
  if (timer_.timerRunning()) {
    if (!timerTimer->isActive()) timerTimer->start();
  } else {
    timerTimer->stop();
  }
}

void FrmTimer::showFrame(int frame) {
  shownFrame_ = frame;
  imageTimer->setPixmap(imageListTimer[static_cast<size_t>(frame - 1)]);
}

void FrmTimer::buttonAdd_Click() {
  timer_.add();
  showTimer();
}

void FrmTimer::buttonSub_Click() {
  timer_.sub();
  showTimer();
}

void FrmTimer::buttonStart_Click() {
  timer_.start();
  showTimer();
}

void FrmTimer::buttonStop_Click() {
  timer_.reset();
  showTimer();
  showFrame(1);
}

void FrmTimer::buttonClose_Click() {
  close();
}

void FrmTimer::closeEvent(QCloseEvent* event) {
  timer_.close();
  timerTimer->stop();
  main_.searchNow->setEnabled(true);
  event->accept();
  // A firing window goes once its search has run (see timerTimer_Timer).
  if (!firing_) deleteLater();
}

void FrmTimer::timerTimer_Timer() {
  const SearchTimer::Tick tick = timer_.tick();
  if (tick.frame > 0) showFrame(tick.frame);
  if (!tick.fire) return;

  // The window goes first, so that no further tick arrives; the search then
  // runs as if Start had been pressed, inside this tick.
  firing_ = true;
  timerTimer->stop();
  close();
  main_.searchNow_Click();
  main_.searchNow->setEnabled(true);
  deleteLater();
}

// --- the main window's "Timer" ---

void FrmMain::buttonTimer_Click() {
  searchNow->setEnabled(false);
  // An open timer window is brought forward rather than doubled.
  for (FrmTimer* open : findChildren<FrmTimer*>(Qt::FindDirectChildrenOnly))
    if (open->searchTimer().state() != SearchTimer::State::Closed) {
      open->raise();
      open->activateWindow();
      return;
    }
  auto* timer = new FrmTimer(*this, systemClock);
  timer->show();
}

}  // namespace quexa
