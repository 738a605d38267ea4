#include "frm_splash.h"

#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "frm_main.h"

namespace quexa {

namespace {
QLabel* line(const char* text, int pointSize, bool bold, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  QFont font = label->font();
  font.setPointSize(pointSize);
  font.setBold(bold);
  label->setFont(font);
  label->setAlignment(Qt::AlignCenter);
  return label;
}
}  // namespace

FrmSplash::FrmSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
  setObjectName("frmSplash");
  auto* frame = new QFrame(this);
  frame->setFrameShape(QFrame::Box);
  frame->setLineWidth(2);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->addWidget(frame);
  auto* lines = new QVBoxLayout(frame);
  lines->setContentsMargins(36, 24, 36, 24);
  lines->setSpacing(10);
  lines->addWidget(line("Quexa", 28, true, frame));
  lines->addWidget(line("Version 2.0 for Windows 95, 98, NT", 10, false, frame));
  lines->addWidget(line("Search any text in any Web page", 11, true, frame));

  // The timer starts once the splash has loaded; its tick loads the main window.
  Timer1 = new QTimer(this);
  Timer1->setSingleShot(true);
  Timer1->setInterval(100);
  connect(Timer1, &QTimer::timeout, this, &FrmSplash::Timer1_Timer);
  Timer1->start();
}

// The program's event loop may end before the main window's deferred
// deletion has run; the main window goes with the splash at the latest.
FrmSplash::~FrmSplash() {
  delete main_;
}

void FrmSplash::Timer1_Timer() {
  if (main_ != nullptr) return;
  main_ = new FrmMain;
  main_->setAttribute(Qt::WA_DeleteOnClose);
  connect(main_, &QObject::destroyed, this, [this] { main_ = nullptr; });
  main_->show();
  close();
}

void FrmSplash::keyPressEvent(QKeyEvent* event) {
  event->accept();
}

}  // namespace quexa
