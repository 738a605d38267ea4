// frmTimer over the real main window with a clock the test sets: the set
// time and its steps, arming and resetting, the animation, and the one
// search it starts when the time has come. When a set time is met, from
// every arming time, is the search clock's own rule, checked with it.
#include <QPointer>
#include <QStatusBar>

#include "frm_timer.h"
#include "gui_fixture.h"

namespace quexa::testing {
namespace {

class TimerTest : public GuiTest {
 protected:
  FrmTimer& openTimer(int hour, int minute) {
    if (!form) openMainWindow();
    now = {hour, minute};
    timer = new FrmTimer(*form, [this] { return now; });
    timer->show();
    return *timer;
  }

  std::string label() const { return timer->labelTimer->text().toStdString(); }
  std::string status() const { return timer->statusTimer->currentMessage().toStdString(); }

  // Sets the clock and lets one tick come.
  void tickAt(int hour, int minute) {
    now = {hour, minute};
    timer->timerTimer_Timer();
  }

  ClockTime now;
  QPointer<FrmTimer> timer;
};

TEST_F(TimerTest, OpensIdleWithItsCaptionsAndStartsTheAnimationWhenArmed) {
  FrmTimer& t = openTimer(8, 0);
  EXPECT_EQ(t.windowTitle().toStdString(), "Quexa - Timer");
  EXPECT_EQ(label(), "8:30 AM");
  EXPECT_EQ(status(), "Timer is not running.");
  EXPECT_FALSE(t.timerTimer->isActive());
  EXPECT_EQ(t.timerTimer->interval(), 300);
  EXPECT_FALSE(t.imageTimer->pixmap().isNull());
  EXPECT_EQ(captionsOf({t.buttonAdd, t.buttonSub, t.buttonStart, t.buttonStop, t.buttonClose}),
            (std::vector<std::string>{"+|Increase time", "-|Decrease time", "&Start|Start timer",
                                      "&Reset|Reset time", "&Close|Exit timer"}));
  EXPECT_EQ(t.labelTimer->toolTip().toStdString(), "Time set to start searching");

  t.buttonStart->click();
  EXPECT_EQ(status(), "Timer is running ...");
  EXPECT_FALSE(t.buttonAdd->isEnabled() || t.buttonSub->isEnabled());
  t.buttonStart->click();  // again: nothing else changes
  EXPECT_TRUE(t.timerTimer->isActive());
  EXPECT_EQ(label(), "8:30 AM");
  std::vector<int> frames;
  for (int i = 0; i < 11; ++i) {
    tickAt(8, 1);
    frames.push_back(t.shownFrame());
  }
  EXPECT_EQ(frames, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 1, 2}));
  EXPECT_NE(t.imageListTimer[0].toImage(), t.imageListTimer[1].toImage());

  // Reset reads the clock again; the steps work once more.
  now = {9, 5};
  t.buttonStop->click();
  EXPECT_EQ(label(), "9:30 AM");
  EXPECT_EQ(status(), "Timer is not running.");
  EXPECT_FALSE(t.timerTimer->isActive());
  EXPECT_EQ(t.shownFrame(), 1);
  t.buttonAdd->click();
  EXPECT_EQ(label(), "10:30 AM");
  t.buttonSub->click();
  t.buttonSub->click();
  EXPECT_EQ(label(), "8:30 AM");
}

// The search it starts is Start's: with nothing to search for, it refuses.
TEST_F(TimerTest, APassedTimeFiresOnceAndClosingWhileArmedBringsStartBackAndNothingFires) {
  FrmTimer& t = openTimer(14, 10);  // 2:30 PM
  now = {15, 0};
  t.buttonStart->click();
  tickAt(15, 0);
  const std::vector<ShownMessage> refusal{
      {"You must specify the text you want to search!", "Text Missing", MessageIcon::Critical}};
  EXPECT_EQ(messages, refusal);
  EXPECT_FALSE(t.isVisible());
  EXPECT_FALSE(t.timerTimer->isActive());
  EXPECT_TRUE(form->searchNow->isEnabled());

  // The closed window lets no further tick start a search.
  tickAt(15, 1);
  EXPECT_EQ(messages, refusal);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(timer.isNull());

  // Closing while armed, by the button or the box, brings Start back and
  // nothing fires.
  form->buttonTimer->click();
  EXPECT_FALSE(form->searchNow->isEnabled());
  const auto open = form->findChildren<FrmTimer*>();
  ASSERT_EQ(open.size(), 1);
  timer = open.front();
  EXPECT_TRUE(timer->isVisible());
  EXPECT_FALSE(timer->isModal());
  // A second press brings the same window forward.
  form->buttonTimer->click();
  EXPECT_EQ(form->findChildren<FrmTimer*>().size(), 1);

  timer->buttonStart->click();
  const size_t before = messages.size();
  timer->buttonClose->click();
  EXPECT_TRUE(form->searchNow->isEnabled());
  EXPECT_FALSE(timer->timerTimer->isActive());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(timer.isNull());
  EXPECT_EQ(messages.size(), before);

  // The close box acts like "&Close".
  FrmTimer& boxed = openTimer(14, 10);
  form->searchNow->setEnabled(false);
  boxed.buttonStart->click();
  boxed.close();
  EXPECT_TRUE(form->searchNow->isEnabled());
  EXPECT_EQ(boxed.searchTimer().state(), SearchTimer::State::Closed);
}

}  // namespace
}  // namespace quexa::testing
