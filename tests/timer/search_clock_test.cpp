#include "timer/search_clock.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace quexa {
namespace {

SetTime at(int hour, int minute, Half half) {
  return SetTime{hour, minute, half};
}

SetTime pressed(SetTime t, int plus, int minus) {
  for (int i = 0; i < plus; ++i) t = oneHourLater(t);
  for (int i = 0; i < minus; ++i) t = oneHourEarlier(t);
  return t;
}

// A clock the test moves by hand.
struct HandClock {
  ClockTime now;
  std::function<ClockTime()> reader() {
    return [this] { return now; };
  }
};

TEST(DefaultTime, NextHalfHourMarkOnTheTwelveHourClock) {
  EXPECT_EQ(labelText(defaultTime({14, 10})), "2:30 PM");
  EXPECT_EQ(labelText(defaultTime({11, 45})), "12:00 PM");
  EXPECT_EQ(labelText(defaultTime({23, 50})), "12:00 AM");
  EXPECT_EQ(labelText(defaultTime({0, 20})), "12:30 AM");
  EXPECT_EQ(labelText(defaultTime({10, 40})), "11:00 AM");
  EXPECT_EQ(labelText(defaultTime({9, 5})), "9:30 AM");
  // The half-hour itself still counts as "at or after now".
  EXPECT_EQ(labelText(defaultTime({12, 30})), "12:30 PM");
  EXPECT_EQ(labelText(defaultTime({12, 31})), "1:00 PM");
  EXPECT_EQ(labelText(defaultTime({21, 5})), "9:30 PM");
}

TEST(HourSteps, PlusAndMinusMoveByOneHourAndKeepTheMinute) {
  SetTime t = defaultTime({14, 10});
  t = pressed(t, 3, 0);
  EXPECT_EQ(labelText(t), "5:30 PM");
  t = pressed(t, 0, 1);
  EXPECT_EQ(labelText(t), "4:30 PM");

  EXPECT_EQ(labelText(pressed(defaultTime({10, 40}), 1, 0)), "12:00 PM");
  EXPECT_EQ(labelText(pressed(defaultTime({10, 40}), 2, 0)), "1:00 PM");
}

TEST(HourSteps, ElevenAndTwelveCrossBetweenTheHalves) {
  EXPECT_EQ(oneHourLater(at(11, 30, Half::PM)), at(12, 30, Half::AM));
  EXPECT_EQ(oneHourLater(at(11, 0, Half::AM)), at(12, 0, Half::PM));
  EXPECT_EQ(oneHourLater(at(12, 0, Half::PM)), at(1, 0, Half::PM));
  EXPECT_EQ(oneHourLater(at(12, 30, Half::AM)), at(1, 30, Half::AM));

  EXPECT_EQ(oneHourEarlier(at(12, 0, Half::AM)), at(11, 0, Half::PM));
  EXPECT_EQ(oneHourEarlier(at(12, 30, Half::PM)), at(11, 30, Half::AM));
  EXPECT_EQ(oneHourEarlier(at(1, 0, Half::PM)), at(12, 0, Half::PM));
  EXPECT_EQ(oneHourEarlier(at(1, 30, Half::AM)), at(12, 30, Half::AM));
}

TEST(HourSteps, TwentyFourStepsWalkTheWholeDayAndMinusUndoesPlus) {
  SetTime start = at(12, 0, Half::AM);
  SetTime t = start;
  std::vector<std::string> seen;
  for (int i = 0; i < 24; ++i) {
    EXPECT_EQ(oneHourEarlier(oneHourLater(t)), t) << labelText(t);
    seen.push_back(labelText(t));
    t = oneHourLater(t);
  }
  EXPECT_EQ(t, start);
  EXPECT_EQ(seen[1], "1:00 AM");
  EXPECT_EQ(seen[11], "11:00 AM");
  EXPECT_EQ(seen[12], "12:00 PM");
  EXPECT_EQ(seen[23], "11:00 PM");
}

TEST(SearchTimerWindow, OpensIdleWithTheDefaultTime) {
  HandClock clock{{14, 10}};
  SearchTimer timer(clock.reader());
  EXPECT_EQ(timer.state(), SearchTimer::State::Idle);
  EXPECT_EQ(timer.labelText(), "2:30 PM");
  EXPECT_EQ(timer.statusText(), "Timer is not running.");
  EXPECT_TRUE(timer.stepButtonsEnabled());
  EXPECT_FALSE(timer.timerRunning());
  EXPECT_EQ(timer.animFrame(), 1);
  EXPECT_EQ(timer.tick().frame, 0);  // no tick while idle
}

TEST(SearchTimerWindow, StartArmsAndLocksTheStepButtons) {
  HandClock clock{{14, 10}};
  SearchTimer timer(clock.reader());
  timer.add();
  timer.start();
  EXPECT_EQ(timer.state(), SearchTimer::State::Armed);
  EXPECT_EQ(timer.statusText(), "Timer is running ...");
  EXPECT_FALSE(timer.stepButtonsEnabled());
  EXPECT_EQ(timer.armedHalf(), Half::PM);
  timer.add();
  timer.sub();
  EXPECT_EQ(timer.labelText(), "3:30 PM");
}

TEST(SearchTimerWindow, ResetRecomputesTheDefaultFromTheClock) {
  HandClock clock{{14, 10}};
  SearchTimer timer(clock.reader());
  timer.add();
  timer.start();
  for (int i = 0; i < 4; ++i) timer.tick();
  clock.now = {9, 5};
  timer.reset();
  EXPECT_EQ(timer.state(), SearchTimer::State::Idle);
  EXPECT_EQ(timer.labelText(), "9:30 AM");
  EXPECT_EQ(timer.statusText(), "Timer is not running.");
  EXPECT_EQ(timer.animFrame(), 1);
  timer.add();
  EXPECT_EQ(timer.labelText(), "10:30 AM");
  timer.sub();
  timer.sub();
  EXPECT_EQ(timer.labelText(), "8:30 AM");
}

TEST(SearchTimerWindow, TicksShowTheAnimationUntilTheTimeIsReached) {
  HandClock clock{{10, 0}};
  SearchTimer timer(clock.reader());  // 10:30 AM
  timer.start();
  std::vector<int> frames;
  for (int i = 0; i < 10; ++i) {
    SearchTimer::Tick t = timer.tick();
    EXPECT_FALSE(t.fire);
    frames.push_back(t.frame);
  }
  EXPECT_EQ(frames, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 1}));
}

TEST(SearchTimerWindow, FiresExactlyOnceAndCloseStopsIt) {
  HandClock clock{{15, 0}};
  SearchTimer timer(clock.reader());  // 3:30 PM
  timer.sub();                        // 2:30 PM, already passed
  timer.start();
  EXPECT_TRUE(timer.tick().fire);
  EXPECT_EQ(timer.state(), SearchTimer::State::Closed);
  EXPECT_FALSE(timer.timerRunning());
  EXPECT_FALSE(timer.tick().fire);
  timer.start();
  timer.reset();
  EXPECT_FALSE(timer.tick().fire);
  EXPECT_EQ(timer.state(), SearchTimer::State::Closed);

  SearchTimer closedWhileArmed(clock.reader());
  closedWhileArmed.sub();
  closedWhileArmed.start();
  closedWhileArmed.close();
  EXPECT_FALSE(closedWhileArmed.tick().fire);
}

// Arms `set` at `armedAt` and ticks once a minute for a day and a half;
// returns the clock reading of the tick that fired.
std::optional<ClockTime> firstFiring(ClockTime armedAt, SetTime set) {
  int minuteOfDay = armedAt.hour * 60 + armedAt.minute;
  for (int i = 0; i < 36 * 60; ++i) {
    int m = (minuteOfDay + i) % (24 * 60);
    ClockTime now{m / 60, m % 60};
    if (shouldFire(set, set.setHalf, now)) return now;
  }
  return std::nullopt;
}

void expectFiresAt(ClockTime armedAt, SetTime set, ClockTime expected) {
  std::optional<ClockTime> fired = firstFiring(armedAt, set);
  ASSERT_TRUE(fired.has_value()) << labelText(set);
  EXPECT_EQ(fired->hour, expected.hour) << labelText(set);
  EXPECT_EQ(fired->minute, expected.minute) << labelText(set);
}

TEST(TimerFiring, PassedTimeInItsHalfFiresAtOnceLaterTimeWaits) {
  expectFiresAt({15, 0}, at(2, 30, Half::PM), {15, 0});
  expectFiresAt({9, 40}, at(8, 0, Half::AM), {9, 40});
  expectFiresAt({23, 10}, at(12, 0, Half::PM), {23, 10});
  expectFiresAt({14, 10}, at(5, 30, Half::PM), {17, 30});
  expectFiresAt({0, 10}, at(12, 30, Half::AM), {0, 30});
  expectFiresAt({6, 20}, at(9, 30, Half::AM), {9, 30});
  expectFiresAt({10, 40}, at(12, 0, Half::PM), {12, 0});
  expectFiresAt({9, 0}, at(2, 30, Half::PM), {14, 30});
}

TEST(TimerFiring, AcrossMidnightOnlyTwelveAmFiresAtMidnight) {
  expectFiresAt({23, 10}, at(12, 0, Half::AM), {0, 0});
  expectFiresAt({23, 50}, at(12, 30, Half::AM), {0, 30});
  expectFiresAt({20, 40}, at(7, 0, Half::AM), {7, 0});
  expectFiresAt({21, 10}, at(7, 30, Half::AM), {7, 30});
  expectFiresAt({12, 0}, at(11, 0, Half::AM), {11, 0});
  expectFiresAt({22, 20}, at(1, 30, Half::AM), {1, 30});
  // 12:xx AM passed later in the morning waits for the next night ...
  expectFiresAt({5, 0}, at(12, 30, Half::AM), {0, 30});
  // ... but within its own hour it is passed like any other time.
  expectFiresAt({0, 40}, at(12, 30, Half::AM), {0, 40});
  // Morning hours armed in the hour after midnight are still ahead.
  expectFiresAt({0, 10}, at(1, 30, Half::AM), {1, 30});
  expectFiresAt({0, 40}, at(11, 0, Half::AM), {11, 0});
}

TEST(TimerFiring, WindowArmedForMidnightFiresAtMidnight) {
  HandClock clock{{22, 40}};
  SearchTimer timer(clock.reader());  // 11:00 PM
  timer.add();
  ASSERT_EQ(timer.labelText(), "12:00 AM");
  clock.now = {23, 10};
  timer.start();
  EXPECT_EQ(timer.armedHalf(), Half::AM);
  for (ClockTime t : {ClockTime{23, 10}, ClockTime{23, 59}}) {
    clock.now = t;
    EXPECT_FALSE(timer.tick().fire);
  }
  clock.now = {0, 0};
  EXPECT_TRUE(timer.tick().fire);
}

TEST(TimerFiring, PressingStartAgainChangesNothing) {
  HandClock clock{{20, 40}};
  SearchTimer timer(clock.reader());
  for (int i = 0; i < 10; ++i) timer.add();  // 7:00 AM
  ASSERT_EQ(timer.labelText(), "7:00 AM");
  timer.start();
  clock.now = {0, 5};
  timer.start();
  EXPECT_FALSE(timer.tick().fire);
  clock.now = {7, 0};
  EXPECT_TRUE(timer.tick().fire);
}

// Every set time, armed at ten and forty past every hour of the day: the
// first firing is the set time itself, except a time already passed in its
// own half, which fires at once.
TEST(TimerFiring, EverySetTimeFromEveryArmingTime) {
  for (int armedHour = 0; armedHour < 24; ++armedHour) {
    for (int armedMinute : {10, 40}) {
      ClockTime armedAt{armedHour, armedMinute};
      SetTime set = defaultTime(armedAt);
      for (int step = 0; step < 24; ++step, set = oneHourLater(set)) {
        int setHourOfDay = (set.setHour % 12) + (set.setHalf == Half::PM ? 12 : 0);
        int setMinuteOfDay = setHourOfDay * 60 + set.setMinute;
        int armedMinuteOfDay = armedHour * 60 + armedMinute;
        bool sameHalf = halfOf(armedAt) == set.setHalf;
        bool passed = setMinuteOfDay <= armedMinuteOfDay;
        // 12:xx AM sits at the end of its half: passed later in the morning,
        // it waits for the next night.
        bool waitsForTheNight = set.setHalf == Half::AM && set.setHour == 12 && armedHour != 0;
        ClockTime expected{setHourOfDay, set.setMinute};
        if (sameHalf && passed && !waitsForTheNight) expected = armedAt;
        SCOPED_TRACE(labelText(set) + " armed at " + std::to_string(armedHour) + ":" +
                     std::to_string(armedMinute));
        expectFiresAt(armedAt, set, expected);
      }
    }
  }
}

}  // namespace
}  // namespace quexa
