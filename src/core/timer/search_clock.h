// The timer window's clock logic: the set time on the 12-hour clock, the
// "+"/"-" steps, the label text, the animation frames and the tick that
// decides when the scheduled search starts. The clock is injected, so the
// window, the command line and the tests all drive the same rules.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace quexa {

// A reading of the clock: hour 0..23, minute 0..59.
struct ClockTime {
  int hour = 0;
  int minute = 0;
};

enum class Half { AM, PM };

// "AM" or "PM".
std::string_view halfText(Half half);
// The half of the day of a clock reading: PM from 12:00 on.
Half halfOf(ClockTime now);

// The time the user sets: setHour 1..12, setMinute 0 or 30, setHalf.
struct SetTime {
  int setHour = 12;
  int setMinute = 0;
  Half setHalf = Half::AM;

  bool operator==(const SetTime&) const = default;
};

// The next half-hour mark at or after now: m <= 30 gives :30 of the same
// hour, otherwise :00 of the next hour, written on the 12-hour clock.
// 14:10 -> 2:30 PM, 11:45 -> 12:00 PM, 23:50 -> 12:00 AM, 0:20 -> 12:30 AM.
SetTime defaultTime(ClockTime now);

// "+" and "-": one hour later or earlier; the minute stays. 11 and 12 cross
// between the halves the way a 12-hour clock does (11 AM + 1 = 12 PM,
// 12 AM - 1 = 11 PM).
SetTime oneHourLater(SetTime t);
SetTime oneHourEarlier(SetTime t);

// The label text: "9:30 PM", "12:00 AM".
std::string labelText(const SetTime& t);

// The tick's decision. Nothing fires while the current half differs from
// armedHalf (the copy of setHalf that Start makes). Within it, the hours are
// compared on a 1..24 scale: 12 PM is 12, other PM hours get 12 added, 12 AM
// is 24, and the timer fires once the clock has reached the set hour and
// minute. So a time already passed in its own half fires at the first tick,
// and a time in the other half waits for that time.
//
// The current hour 0 counts as 24 only against a 12 AM set time. Counted as
// 24 against every set time, the hour after midnight would pass every
// morning hour: 7:00 AM armed at 21:00 would fire at 00:00, and 1:30 AM
// armed at 0:10 at once. A 12:xx AM time keeps its place at the end of the
// scale: armed in the evening it fires at midnight, armed later in the
// morning it waits for the next night.
bool shouldFire(const SetTime& t, Half armedHalf, ClockTime now);

// The animation's next frame counter, animFrame 1..10. showFrame() returns
// the frame to show (1..9, wrapping after 9) and advances the counter.
inline constexpr int16_t kAnimFrameCount = 9;
int showFrame(int16_t& animFrame);

inline constexpr const char* kTimerRunningText = "Timer is running ...";
inline constexpr const char* kTimerIdleText = "Timer is not running.";

// The timer window's state, so that the Qt window only wires its controls.
// Opening reads the clock for the default time; the tick comes every
// kTickMilliseconds while armed. Once it fires, or is closed, the window is
// closed for good: a new window is a new SearchTimer.
inline constexpr int kTickMilliseconds = 300;

class SearchTimer {
 public:
  enum class State { Idle, Armed, Closed };

  // Form_Load.
  explicit SearchTimer(std::function<ClockTime()> clock);

  State state() const { return state_; }
  const SetTime& setTime() const { return setTime_; }
  std::string labelText() const;                                     // labelTimer
  std::string statusText() const;                                    // statusTimer
  bool timerRunning() const { return state_ == State::Armed; }       // timerTimer
  bool stepButtonsEnabled() const { return state_ == State::Idle; }  // buttonAdd, buttonSub
  int16_t animFrame() const { return animFrame_; }
  Half armedHalf() const { return armedHalf_; }

  void add();    // buttonAdd_Click
  void sub();    // buttonSub_Click
  void start();  // buttonStart_Click
  void reset();  // buttonStop_Click
  void close();  // buttonClose_Click and Form_Unload

  struct Tick {
    int frame = 0;      // the frame imageTimer shows; 0 when no tick ran
    bool fire = false;  // the set time is reached: start the search
  };
  // timerTimer_Timer. When it fires the window has closed itself; the caller
  // then runs the search of the current mode and switches searchNow on.
  Tick tick();

 private:
  std::function<ClockTime()> clock_;
  State state_ = State::Idle;
  SetTime setTime_;
  Half armedHalf_ = Half::AM;
  int16_t animFrame_ = 1;
};

}  // namespace quexa
