// The timer window's animation: nine frames of a small clock face whose
// hand goes once round, one step a frame.
#pragma once

#include <QPixmap>
#include <array>

namespace quexa {

inline constexpr int kTimerFrameCount = 9;

std::array<QPixmap, kTimerFrameCount> drawTimerFrames(int size);

}  // namespace quexa
