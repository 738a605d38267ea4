#include "frm_engines.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <stdexcept>

#include "data/engine_file.h"
#include "data/options_file.h"
#include "frm_main.h"
#include "net/curl_fetcher.h"
#include "qt_event_pump.h"
#include "search/engines/opensearch/description_document.h"
#include "user_engine_boxes.h"

namespace quexa {

namespace {

constexpr int kDescriptionTimeout = 30;
constexpr const char* kRefusalTitle = "Invalid Engine";

QPushButton* makeButton(const char* caption, const char* toolTip, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setToolTip(toolTip);
  button->setAutoDefault(false);
  return button;
}

std::string text(const QLineEdit* box) {
  return box->text().trimmed().toStdString();
}

}  // namespace

FrmEngines::FrmEngines(FrmMain& main) : QDialog(&main), main_(main) {
  setWindowTitle(kEnginesCaption);
  setModal(true);
  engineList = new QListWidget(this);
  engineList->setToolTip("Your engines, asked after the five in this order");
  engineName = new QLineEdit(this);
  engineName->setToolTip("The engine's name (taken from a description document when empty)");
  engineAddress = new QLineEdit(this);
  engineAddress->setToolTip(
      "An address holding {searchTerms}, or the address of an OpenSearch description document");
  engineFormat = new QComboBox(this);
  for (const char* format : {"rss", "atom", "searxng-json"}) engineFormat->addItem(format);
  engineFormat->setToolTip("How the engine answers (an address with {searchTerms} only)");
  engineAdd = makeButton("&Add", "Add the engine", this);
  engineRemove = makeButton("&Remove", "Remove the selected engine", this);
  engineClose = makeButton("&Close", "Close this window", this);

  auto* nameLabel = new QLabel("&Name:", this);
  nameLabel->setBuddy(engineName);
  auto* addressLabel = new QLabel("A&ddress:", this);
  addressLabel->setBuddy(engineAddress);
  auto* formatLabel = new QLabel("&Format:", this);
  formatLabel->setBuddy(engineFormat);

  auto* grid = new QGridLayout;
  grid->addWidget(engineList, 0, 0, 2, 2);
  grid->addWidget(engineRemove, 0, 2, Qt::AlignTop);
  grid->addWidget(nameLabel, 2, 0);
  grid->addWidget(engineName, 2, 1);
  grid->addWidget(addressLabel, 3, 0);
  grid->addWidget(engineAddress, 3, 1);
  grid->addWidget(formatLabel, 4, 0);
  grid->addWidget(engineFormat, 4, 1, Qt::AlignLeft);
  grid->addWidget(engineAdd, 4, 2);
  grid->setRowStretch(1, 1);
  grid->setColumnStretch(1, 1);
  auto* answers = new QHBoxLayout;
  answers->addStretch(1);
  answers->addWidget(engineClose);
  auto* column = new QVBoxLayout(this);
  column->addLayout(grid);
  column->addLayout(answers);
  resize(620, 320);

  connect(engineAdd, &QPushButton::clicked, this, &FrmEngines::engineAdd_Click);
  connect(engineRemove, &QPushButton::clicked, this, &FrmEngines::engineRemove_Click);
  connect(engineClose, &QPushButton::clicked, this, &QDialog::accept);
  showEngines();
}

void FrmEngines::showEngines() {
  engineList->clear();
  std::vector<UserEngine> engines;
  try {
    engines = loadUserEngines(main_.state.dataDir);
  } catch (const std::exception& e) {
    refuse(std::string("The engine file cannot be read: ") + e.what());
  }
  for (const UserEngine& e : engines) {
    auto* item = new QListWidgetItem(QString::fromStdString(
        e.name + "  (" + std::string(formatName(e.format)) + ")  " + e.urlTemplate));
    item->setData(Qt::UserRole, QString::fromStdString(e.name));
    engineList->addItem(item);
  }
}

void FrmEngines::refuse(const std::string& why) {
  QtWindow& window = main_.window();
  if (window.messageHook)
    window.messageHook(why, kRefusalTitle, MessageIcon::Critical, MessageButtons::Ok);
  else
    showMessageBox(this, why, kRefusalTitle, MessageIcon::Critical, MessageButtons::Ok);
}

void FrmEngines::engineAdd_Click() {
  const std::string address = text(engineAddress);
  if (address.empty()) return refuse("You must enter the engine's address!");
  UserEngine engine;
  if (address.find("{searchTerms}") != std::string::npos) {
    engine.urlTemplate = address;
    engine.format =
        formatNamed(engineFormat->currentText().toStdString()).value_or(ResultFormat::Rss);
  } else {
    setCursor(Qt::WaitCursor);
    QtEventPump pump;
    CurlFetcher fetcher(pump);
    const FetchResult result = fetcher.fetch(address, kDescriptionTimeout);
    unsetCursor();
    if (result.status != FetchStatus::Ok || result.body.empty())
      return refuse("The description document " + address + " cannot be fetched.");
    const DescribedEngine described = readDescriptionDocument(result.body);
    if (!described.usable) return refuse("Not an engine: " + described.error + ".");
    engine = described.engine;
  }
  if (!text(engineName).empty()) engine.name = text(engineName);
  if (engine.name.empty()) return refuse("You must enter the engine's name!");
  engine.ticked = true;
  try {
    addUserEngine(main_.state.dataDir, engine);
  } catch (const std::invalid_argument& refused) {
    return refuse(refused.what());
  } catch (const std::exception& failed) {
    return refuse(std::string("The engine file cannot be written: ") + failed.what());
  }
  engineName->clear();
  engineAddress->clear();
  showEngines();
}

void FrmEngines::engineRemove_Click() {
  QListWidgetItem* item = engineList->currentItem();
  if (!item) return refuse("You must select the engine to remove!");
  try {
    removeUserEngine(main_.state.dataDir, item->data(Qt::UserRole).toString().toStdString());
  } catch (const std::exception& failed) {
    return refuse(std::string("The engine file cannot be written: ") + failed.what());
  }
  showEngines();
}

// --- the "Web Engines" frame's own commands ---

void FrmMain::buttonEngines_Click() {
  {
    FrmEngines editor(*this);
    editor.exec();
  }
  userEngineBoxes->reload(state.dataDir);
  userEngineBoxes->setEnabled(frameEngine->isEnabled());
}

void FrmMain::chkCheckHits_Click(bool checked) {
  changeOptions([checked](Options& o) { o.checkHits = checked; });
}

}  // namespace quexa
