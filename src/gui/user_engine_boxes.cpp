#include "user_engine_boxes.h"

#include <QCheckBox>
#include <QVBoxLayout>

#include "data/engine_file.h"

namespace quexa {

UserEngineBoxes::UserEngineBoxes(QWidget* parent) : QScrollArea(parent) {
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setWidgetResizable(true);
  inner_ = new QWidget;
  column_ = new QVBoxLayout(inner_);
  column_->setContentsMargins(0, 0, 0, 0);
  column_->addStretch(1);
  setWidget(inner_);
}

void UserEngineBoxes::adoptBuiltIn(std::initializer_list<QCheckBox*> boxes) {
  int row = 0;
  for (QCheckBox* box : boxes) {
    box->setParent(inner_);
    column_->insertWidget(row++, box);
    builtIn_.push_back(box);
  }
}

void UserEngineBoxes::arrangeRows(int left, int top, int boxHeight, int gap) {
  column_->setContentsMargins(left, top, 0, 0);
  column_->setSpacing(gap);
  boxHeight_ = boxHeight;
  for (QCheckBox* box : builtIn_) box->setFixedHeight(boxHeight);
  for (QCheckBox* box : boxes_) box->setFixedHeight(boxHeight);
}

void UserEngineBoxes::reload(const std::string& dataDir) {
  dataDir_ = dataDir;
  for (QCheckBox* box : boxes_) delete box;
  boxes_.clear();
  try {
    engines_ = loadUserEngines(dataDir);
  } catch (const std::exception&) {
    engines_.clear();  // an unreadable file shows no engines and stays as it is
  }
  for (size_t i = 0; i < engines_.size(); ++i) {
    auto* box = new QCheckBox(QString::fromStdString(engines_[i].name), inner_);
    box->setChecked(engines_[i].ticked);
    box->setToolTip(QString::fromStdString(engines_[i].urlTemplate));
    connect(box, &QCheckBox::toggled, this, [this, i](bool on) { keepTick(i, on); });
    box->setFixedHeight(boxHeight_);
    column_->insertWidget(static_cast<int>(builtIn_.size() + i), box);
    boxes_.push_back(box);
  }
}

std::vector<UserEngine> UserEngineBoxes::engines() const {
  std::vector<UserEngine> shown = engines_;
  for (size_t i = 0; i < shown.size(); ++i) shown[i].ticked = boxes_[i]->isChecked();
  return shown;
}

QCheckBox* UserEngineBoxes::box(const std::string& name) const {
  for (size_t i = 0; i < engines_.size(); ++i)
    if (engines_[i].name == name) return boxes_[i];
  return nullptr;
}

void UserEngineBoxes::keepTick(size_t index, bool ticked) {
  try {
    tickUserEngine(dataDir_, engines_[index].name, ticked);
  } catch (const std::exception&) {
    // The tick still serves this session; the old file stays whole.
  }
}

}  // namespace quexa
