// The busy lamp's two pictures, drawn rather than shipped as files.
#pragma once

#include <QColor>
#include <QPixmap>

namespace quexa {

// A round lamp of the given colour, lit from the upper left.
QPixmap drawLamp(const QColor& color, int diameter);

}  // namespace quexa
