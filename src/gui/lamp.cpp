#include "lamp.h"

#include <QPainter>
#include <QRadialGradient>

namespace quexa {

QPixmap drawLamp(const QColor& color, int diameter) {
  QPixmap pixmap(diameter, diameter);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF disc(0.5, 0.5, diameter - 1.0, diameter - 1.0);
  QRadialGradient light(disc.center() - QPointF(diameter / 5.0, diameter / 5.0), diameter / 1.6);
  light.setColorAt(0.0, color.lighter(170));
  light.setColorAt(1.0, color.darker(130));
  painter.setBrush(light);
  painter.setPen(QPen(color.darker(200), 1.0));
  painter.drawEllipse(disc);
  return pixmap;
}

}  // namespace quexa
