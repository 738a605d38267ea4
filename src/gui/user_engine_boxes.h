// The tick boxes of the user's own engines, under the five in the "Web
// Engines" frame: one per engine of qxengines.ini, in its order, in a box
// that scrolls when there are more than fit. A tick is kept in the file at
// once. UI thread only.
#pragma once

#include <QScrollArea>
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
  QWidget* inner_ = nullptr;
  QVBoxLayout* column_ = nullptr;
};

}  // namespace quexa
