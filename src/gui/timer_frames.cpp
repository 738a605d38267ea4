#include "timer_frames.h"

#include <QPainter>
#include <QPalette>
#include <QtMath>

namespace quexa {

namespace {

QPixmap drawFrame(int size, int frame) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const QPalette palette;
  const QColor ink = palette.color(QPalette::WindowText);
  const QColor hand(200, 40, 40);
  const QPointF centre(size / 2.0, size / 2.0);
  const double radius = size / 2.0 - 1.5;

  painter.setPen(QPen(ink, 1.5));
  painter.setBrush(palette.color(QPalette::Base));
  painter.drawEllipse(centre, radius, radius);

  // The twelve hour marks.
  for (int hour = 0; hour < 12; ++hour) {
    const double angle = qDegreesToRadians(hour * 30.0);
    const QPointF direction(std::sin(angle), -std::cos(angle));
    const double inner = radius * (hour % 3 == 0 ? 0.72 : 0.82);
    painter.drawLine(centre + direction * inner, centre + direction * (radius * 0.92));
  }

  // A short hand that stays at twelve, and the long hand that goes round.
  painter.setPen(QPen(ink, 2.0, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(centre, centre + QPointF(0, -radius * 0.45));
  const double angle = qDegreesToRadians(360.0 * frame / kTimerFrameCount);
  const QPointF direction(std::sin(angle), -std::cos(angle));
  painter.setPen(QPen(hand, 1.8, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(centre, centre + direction * (radius * 0.78));
  painter.setBrush(hand);
  painter.setPen(Qt::NoPen);
  painter.drawEllipse(centre, 2.0, 2.0);
  return pixmap;
}

}  // namespace

std::array<QPixmap, kTimerFrameCount> drawTimerFrames(int size) {
  std::array<QPixmap, kTimerFrameCount> frames;
  for (int i = 0; i < kTimerFrameCount; ++i) frames[static_cast<size_t>(i)] = drawFrame(size, i);
  return frames;
}

}  // namespace quexa
