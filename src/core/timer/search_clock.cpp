#include "timer/search_clock.h"

#include <utility>

namespace quexa {

std::string_view halfText(Half half) {
  return half == Half::PM ? "PM" : "AM";
}

Half halfOf(ClockTime now) {
  return now.hour >= 12 ? Half::PM : Half::AM;
}

SetTime defaultTime(ClockTime now) {
  int hour = now.hour;
  SetTime t;
  if (now.minute <= 30) {
    t.setMinute = 30;
  } else {
    t.setMinute = 0;
    hour += 1;
  }
  if (hour == 0 || hour == 24) {
    t.setHour = 12;
    t.setHalf = Half::AM;
  } else if (hour < 12) {
    t.setHour = hour;
    t.setHalf = Half::AM;
  } else if (hour == 12) {
    t.setHour = 12;
    t.setHalf = Half::PM;
  } else {
    t.setHour = hour - 12;
    t.setHalf = Half::PM;
  }
  return t;
}

namespace {

Half otherHalf(Half half) {
  return half == Half::AM ? Half::PM : Half::AM;
}

}  // namespace

SetTime oneHourLater(SetTime t) {
  if (t.setHour == 12) {
    t.setHour = 1;
  } else if (t.setHour == 11) {
    t.setHour = 12;
    t.setHalf = otherHalf(t.setHalf);
  } else {
    t.setHour += 1;
  }
  return t;
}

SetTime oneHourEarlier(SetTime t) {
  if (t.setHour == 12) {
    t.setHour = 11;
    t.setHalf = otherHalf(t.setHalf);
  } else if (t.setHour == 1) {
    t.setHour = 12;
  } else {
    t.setHour -= 1;
  }
  return t;
}

std::string labelText(const SetTime& t) {
  std::string text = std::to_string(t.setHour);
  text += t.setMinute == 30 ? ":30 " : ":00 ";
  text += halfText(t.setHalf);
  return text;
}

namespace {

// The set hour on the 1..24 scale of the tick: 12 AM is the last hour.
int targetHourOf24(const SetTime& t) {
  if (t.setHalf == Half::PM) return t.setHour == 12 ? 12 : t.setHour + 12;
  return t.setHour == 12 ? 24 : t.setHour;
}

bool reached(int hour, int minute, int targetHour, int targetMinute) {
  return hour > targetHour || (hour == targetHour && minute >= targetMinute);
}

}  // namespace

bool shouldFire(const SetTime& t, Half armedHalf, ClockTime now) {
  if (halfOf(now) != armedHalf) return false;
  int target = targetHourOf24(t);
  int hour = now.hour == 0 && target == 24 ? 24 : now.hour;
  return reached(hour, now.minute, target, t.setMinute);
}

int showFrame(int16_t& animFrame) {
  if (animFrame > kAnimFrameCount) animFrame = 1;
  int frame = animFrame;
  animFrame += 1;
  return frame;
}

SearchTimer::SearchTimer(std::function<ClockTime()> clock) : clock_(std::move(clock)) {
  setTime_ = defaultTime(clock_());
}

std::string SearchTimer::labelText() const {
  return quexa::labelText(setTime_);
}

std::string SearchTimer::statusText() const {
  return state_ == State::Armed ? kTimerRunningText : kTimerIdleText;
}

void SearchTimer::add() {
  if (stepButtonsEnabled()) setTime_ = oneHourLater(setTime_);
}

void SearchTimer::sub() {
  if (stepButtonsEnabled()) setTime_ = oneHourEarlier(setTime_);
}

void SearchTimer::start() {
  if (state_ == State::Closed) return;
  armedHalf_ = setTime_.setHalf;
  state_ = State::Armed;
}

void SearchTimer::reset() {
  if (state_ == State::Closed) return;
  state_ = State::Idle;
  animFrame_ = 1;
  setTime_ = defaultTime(clock_());
}

void SearchTimer::close() {
  state_ = State::Closed;
}

SearchTimer::Tick SearchTimer::tick() {
  Tick result;
  if (state_ != State::Armed) return result;
  result.frame = showFrame(animFrame_);
  if (shouldFire(setTime_, armedHalf_, clock_())) {
    close();
    result.fire = true;
  }
  return result;
}

}  // namespace quexa
