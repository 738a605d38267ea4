#include "timer/search_clock.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace quexa {
namespace {

SetTime at(int hour, int minute, Half half) {
  return SetTime{hour, minute, half};
}

// A clock the test moves by hand.
struct HandClock {
  ClockTime now;
  std::function<ClockTime()> reader() {
    return [this] { return now; };
  }
};

// The half-hour itself still counts as "at or after now".
TEST(DefaultTime, NextHalfHourMarkOnTheTwelveHourClock) {
  const std::pair<ClockTime, const char*> cases[] = {
      {{14, 10}, "2:30 PM"},  {{11, 45}, "12:00 PM"}, {{23, 50}, "12:00 AM"},
      {{0, 20}, "12:30 AM"},  {{10, 40}, "11:00 AM"}, {{9, 5}, "9:30 AM"},
      {{12, 30}, "12:30 PM"}, {{12, 31}, "1:00 PM"},  {{21, 5}, "9:30 PM"}};
  for (const auto& [now, label] : cases) EXPECT_EQ(labelText(defaultTime(now)), label);
}

// Each pair is one hour apart, read forwards and backwards; a whole day of
// steps comes back to where it began.
TEST(HourSteps, ElevenAndTwelveCrossBetweenTheHalvesAndMinusUndoesPlus) {
  const std::pair<SetTime, SetTime> steps[] = {
      {at(11, 30, Half::PM), at(12, 30, Half::AM)}, {at(11, 0, Half::AM), at(12, 0, Half::PM)},
      {at(12, 0, Half::PM), at(1, 0, Half::PM)},    {at(12, 30, Half::AM), at(1, 30, Half::AM)},
      {at(11, 0, Half::PM), at(12, 0, Half::AM)},   {at(11, 30, Half::AM), at(12, 30, Half::PM)}};
  for (const auto& [before, after] : steps) {
    EXPECT_EQ(oneHourLater(before), after) << labelText(before);
    EXPECT_EQ(oneHourEarlier(after), before) << labelText(after);
  }
  SetTime t = at(12, 0, Half::AM);
  for (int i = 0; i < 24; ++i) {
    EXPECT_EQ(oneHourEarlier(oneHourLater(t)), t) << labelText(t);
    t = oneHourLater(t);
  }
  EXPECT_EQ(t, at(12, 0, Half::AM));
}

TEST(SearchTimerWindow, OpensIdleWithTheDefaultTimeAndStartArmsAndLocksTheSteps) {
  HandClock clock{{14, 10}};
  SearchTimer timer(clock.reader());
  EXPECT_EQ(timer.state(), SearchTimer::State::Idle);
  EXPECT_EQ(timer.labelText(), "2:30 PM");
  EXPECT_EQ(timer.statusText(), "Timer is not running.");
  EXPECT_TRUE(timer.stepButtonsEnabled());
  EXPECT_FALSE(timer.timerRunning());
  EXPECT_EQ(timer.animFrame(), 1);
  EXPECT_EQ(timer.tick().frame, 0);  // no tick while idle

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

  // Start arms the set time's half, not the clock's.
  clock.now = {23, 10};
  SearchTimer midnight(clock.reader());  // 11:30 PM
  midnight.add();
  midnight.start();
  EXPECT_EQ(midnight.armedHalf(), Half::AM);
  EXPECT_FALSE(midnight.tick().fire);
  clock.now = {0, 30};
  EXPECT_TRUE(midnight.tick().fire);
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

// Every set time on the hour and the half hour, armed at every ten minutes
// of the day: the first firing is the set time itself, except a time
// already passed in its own half, which fires at once. 12:xx AM sits at the
// end of its half: passed later in the morning it waits for the next night,
// but within its own hour it is passed like any other time.
TEST(TimerFiring, EverySetTimeFromEveryArmingTime) {
  for (int armedMinuteOfDay = 0; armedMinuteOfDay < 24 * 60; armedMinuteOfDay += 10) {
    const ClockTime armedAt{armedMinuteOfDay / 60, armedMinuteOfDay % 60};
    for (int minute : {0, 30}) {
      SetTime set = at(12, minute, Half::AM);
      for (int step = 0; step < 24; ++step, set = oneHourLater(set)) {
        const int setHourOfDay = (set.setHour % 12) + (set.setHalf == Half::PM ? 12 : 0);
        const bool sameHalf = halfOf(armedAt) == set.setHalf;
        const bool passed = setHourOfDay * 60 + set.setMinute <= armedMinuteOfDay;
        const bool waitsForTheNight =
            set.setHalf == Half::AM && set.setHour == 12 && armedAt.hour != 0;
        ClockTime expected{setHourOfDay, set.setMinute};
        if (sameHalf && passed && !waitsForTheNight) expected = armedAt;
        SCOPED_TRACE(labelText(set) + " armed at " + std::to_string(armedAt.hour) + ":" +
                     std::to_string(armedAt.minute));
        const std::optional<ClockTime> fired = firstFiring(armedAt, set);
        ASSERT_TRUE(fired.has_value());
        EXPECT_EQ(fired->hour * 60 + fired->minute, expected.hour * 60 + expected.minute);
      }
    }
  }
}

}  // namespace
}  // namespace quexa
