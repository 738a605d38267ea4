// The engines' tick boxes of the "Web Engines" frame: the five built-in
// ones, then one per engine of qxengines.ini in its order, in a column that
// scrolls when there are more than fit. A user engine's tick is kept in the
// file at once. UI thread only.
#pragma once

#include <QScrollArea>
#include <initializer_list>
#include <string>
#include <vector>

#include "search/engines/opensearch/user_engine.h"

class QCheckBox;
class QVBoxLayout;

namespace quexa {

class UserEngineBoxes : public QScrollArea {
  Q_OBJECT

 public:
  explicit UserEngineBoxes(QWidget* parent);

  // The five built-in boxes head the column.
  void adoptBuiltIn(std::initializer_list<QCheckBox*> boxes);
  // Rows in pixels: the column's left and top margins, a box's height and
  // the gap between boxes.
  void arrangeRows(int left, int top, int boxHeight, int gap);

  // Reads qxengines.ini of the data directory again and shows its engines.
  void reload(const std::string& dataDir);
  // The engines with their ticks as the boxes show them.
  std::vector<UserEngine> engines() const;
  // The box of the engine of this name; nullptr when there is none.
  QCheckBox* box(const std::string& name) const;

 private:
  void keepTick(size_t index, bool ticked);

  std::string dataDir_;
  std::vector<UserEngine> engines_;
  std::vector<QCheckBox*> boxes_;
  std::vector<QCheckBox*> builtIn_;
  int boxHeight_ = 20;
  QWidget* inner_ = nullptr;
  QVBoxLayout* column_ = nullptr;
};

}  // namespace quexa
