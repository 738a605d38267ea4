// frmMain's start-up, settings, shutdown and the small handlers.
#include "frm_main.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <system_error>

#include "app/layout.h"
#include "data/data_dir_lock.h"
#include "data/index_file.h"
#include "data/options_file.h"
#include "help_file.h"
#include "main_layout.h"
#include "pic_divider.h"
#include "result_pane.h"
#include "spin_bar.h"

namespace quexa {

namespace {
QString qs(const std::string& text) {
  return QString::fromStdString(text);
}

std::string currentDirectory() {
  std::error_code error;
  const auto path = std::filesystem::current_path(error);
  return error ? std::string(".") : path.string();
}

// Shutdown does not wait for a running search: its handler is still on the
// stack below this one, so the program ends here rather than unwinding
// through it. The settings file is already on disk, or its failure reported.
void endProgramAtOnce(bool searchRunning, int status) {
  if (searchRunning) {
    std::fflush(nullptr);
    std::_Exit(status);
  }
  QCoreApplication::exit(status);
}
}  // namespace

FrmMain::FrmMain(QWidget* parent)
    : QWidget(parent),
      endProgram([this](bool running) { endProgramAtOnce(running, settingsUnsaved_ ? 1 : 0); }),
      window_(std::make_unique<QtWindow>(*this)) {
  setWindowTitle(kMainCaption);
  createControls();
  connectHandlers();
  setTabOrderByPlace();
  formLoad();
}

FrmMain::~FrmMain() {
  window_->setBusyCursor(false);
}

void FrmMain::formLoad() {
  state.dataDir = dataDirFor(currentDirectory());
  state.matchBuffer.assign(kMatchBufferSize, ' ');
  prepareResultTree();
  enableStartButtons();
  ImageGreen->hide();
  ImageRed->show();
  state.searchRunning = 0;
  state.resetResults = 0;
  state.paneBusy = 0;
  readSettingsFile();
  readOptionsFile();
  applyModeFrames(mineMode == 1);
  fillModeLists();
  dispFile->setText(kStatusReady);
  applySavedGeometry();
  state.foundStatus = "Found: 0";
  state.linkStatus = "Links: 0/0";
  // Typing right after start-up goes into the first search box.
  searchText[0]->setFocus(Qt::OtherFocusReason);
}

void FrmMain::prepareResultTree() {
  outlineFile->setRootIsDecorated(true);
  outlineFile->setItemsExpandable(true);
  outlineFile->setIconSize(QSize(16, 16));
  // Every node is one line with a picture of the same size; measuring each
  // one again at every layout would make a long result tree ever slower.
  outlineFile->setUniformRowHeights(true);
  for (QTextEdit* pane : {allWebResult, dispResult}) preparePane(pane);
  new PaneClickGuard(allWebResult, dispResult, state, *window_, this);
}

void FrmMain::enableStartButtons() {
  searchNow->setEnabled(true);
  for (QPushButton* button : {searchConfig, searchStop, searchSave, searchPrint, searchPage,
                              searchRemove, searchCopy, searchAdd})
    button->setEnabled(false);
}

void FrmMain::readSettingsFile() {
  Settings settings;
  try {
    settings = loadSettings(state.dataDir);
  } catch (const std::exception&) {
    // An unreadable data directory starts like a first run.
  }
  showSettings(settings);
}

void FrmMain::readOptionsFile() {
  Options options;
  try {
    options = loadOptions(state.dataDir);
  } catch (const std::exception&) {
    // The defaults serve; the file is written again when the value changes.
  }
  // Showing the stored value is not a change to store again.
  const QSignalBlocker quiet(connectionsSpin);
  connectionsSpin->setValue(options.connections);
  const QSignalBlocker quietHits(chkCheckHits);
  chkCheckHits->setChecked(options.checkHits);
  userEngineBoxes->reload(state.dataDir);
  const QSignalBlocker quietLinks(optStandardLinks);
  const QSignalBlocker quietRobots(optIgnoreRobots);
  optStandardLinks->setChecked(options.standardLinks);
  optIgnoreRobots->setChecked(options.ignoreRobots);
}

// The frames of the other mode are greyed out with every control in them.
void FrmMain::applyModeFrames(bool mine) {
  frameMine->setEnabled(mine);
  for (QWidget* control : std::initializer_list<QWidget*>{searchCat, listCategory, buttonIndex})
    control->setEnabled(mine);
  frameEngine->setEnabled(!mine);
  for (QCheckBox* box : {chk_yahoo, chk_lycos, chk_infoseek, chk_excite, chk_altavista})
    box->setEnabled(!mine);
  for (QWidget* control :
       std::initializer_list<QWidget*>{userEngineBoxes, buttonEngines, chkCheckHits})
    control->setEnabled(!mine);
}

void FrmMain::fillModeLists() {
  guarded([&] {
    if (engineMode == 1) {
      wordList->clear();
      WordList list;
      list.addAll(loadEngineWordList(state.dataDir));
      showWordList(list);
    } else if (mineMode == 1) {
      for (const auto& name : loadIndexNames(state.dataDir)) searchCat->addItem(qs(name));
      searchCat->setCurrentIndex(-1);  // no index chosen yet
    }
  });
}

void FrmMain::applySavedGeometry() {
  // The bar goes to its saved place first; the layout then keeps room right
  // of it within the tab control.
  layout.results.picDividerLeft = splitterLeft;
  const double d = dpi();
  resize(twipsToPixels(savedFormWidth, d), twipsToPixels(kFormHeight, d));
  formResize(*this);
}

Settings FrmMain::settingsFromControls() const {
  Settings s;
  s.optCase = optCase->isChecked();
  s.optSearchAll = optSearchAll->isChecked();
  s.chkYahoo = chk_yahoo->isChecked();
  s.chkLycos = chk_lycos->isChecked();
  s.chkInfoseek = chk_infoseek->isChecked();
  s.chkExcite = chk_excite->isChecked();
  s.chkAltavista = chk_altavista->isChecked();
  s.proxyText = proxyText->text().toStdString();
  s.hitsText = hitsText->text().toStdString();
  s.timeoutText = timeoutText->text().toStdString();
  s.retryText = retryText->text().toStdString();
  s.mineMode = mineMode;
  s.engineMode = engineMode;
  s.savedFormWidth = savedFormWidth;
  s.splitterLeft = splitterLeft;
  return s;
}

void FrmMain::showSettings(const Settings& s) {
  optCase->setChecked(s.optCase);
  optSearchAll->setChecked(s.optSearchAll);
  chk_yahoo->setChecked(s.chkYahoo);
  chk_lycos->setChecked(s.chkLycos);
  chk_infoseek->setChecked(s.chkInfoseek);
  chk_excite->setChecked(s.chkExcite);
  chk_altavista->setChecked(s.chkAltavista);
  proxyText->setText(qs(s.proxyText));
  struct Pair {
    QLineEdit* box;
    SpinBar* spin;
    const std::string& text;
    SpinRange range;
  };
  for (const Pair& p : {Pair{hitsText, hitsScroll, s.hitsText, kHitsSpin},
                        Pair{timeoutText, timeoutScroll, s.timeoutText, kTimeoutSpin},
                        Pair{retryText, retryScroll, s.retryText, kRetrySpin}}) {
    p.box->setText(qs(p.text));
    p.spin->setValueQuietly(spinValueForText(p.text, p.range));
  }
  mineMode = static_cast<int16_t>(s.mineMode);
  engineMode = static_cast<int16_t>(s.engineMode);
  savedFormWidth = s.savedFormWidth;
  splitterLeft = s.splitterLeft;
}

MainControls FrmMain::currentControls() const {
  MainControls c;
  c.searchText = searchTexts();
  const std::array<QRadioButton*, 3>* groups[] = {&Opt1, &Opt2, &Opt3};
  for (size_t i = 0; i < 3; ++i) {
    const auto& group = *groups[i];
    c.connector[i] = group[0]->isChecked()   ? kConnectorAnd
                     : group[1]->isChecked() ? kConnectorOr
                     : group[2]->isChecked() ? kConnectorNot
                                             : 0;
  }
  c.settings = settingsFromControls();
  c.searchCatText = searchCat->currentText().toStdString();
  c.searchCatCount = static_cast<size_t>(searchCat->count());
  for (int i = 0; i < listCategory->count(); ++i)
    c.listCategory.push_back(listCategory->item(i)->text().toStdString());
  c.frameMineEnabled = frameMine->isEnabled();
  c.standardLinks = optStandardLinks->isChecked();
  c.ignoreRobots = optIgnoreRobots->isChecked();
  return c;
}

std::array<std::string, 4> FrmMain::searchTexts() const {
  std::array<std::string, 4> texts;
  for (size_t i = 0; i < texts.size(); ++i) texts[i] = searchText[i]->text().toStdString();
  return texts;
}

QPushButton* FrmMain::commandButton(Control control) const {
  switch (control) {
    case Control::searchNow:
      return searchNow;
    case Control::searchStop:
      return searchStop;
    case Control::searchConfig:
      return searchConfig;
    case Control::viewPrev:
      return viewPrev;
    case Control::searchPrint:
      return searchPrint;
    case Control::searchSave:
      return searchSave;
    case Control::buttonView:
      return buttonView;
    case Control::buttonMine:
      return buttonMine;
    case Control::buttonEngine:
      return buttonEngine;
    case Control::buttonIndex:
      return buttonIndex;
    case Control::buttonTimer:
      return buttonTimer;
    case Control::searchPage:
      return searchPage;
  }
  return searchNow;
}

void FrmMain::guarded(const std::function<void()>& work) {
  try {
    work();
  } catch (const std::exception& failure) {
    window_->messageBox(failure.what(), "Operation Error", MessageIcon::Critical,
                        MessageButtons::Ok);
  }
}

// --- shutdown ---

void FrmMain::shutdown() {
  if (shuttingDown_) return;
  shuttingDown_ = true;
  state.stopRequest = 1;
  dispFile->setText(kStatusClosing);
  dispFile->repaint();
  try {
    saveSettings(state.dataDir, settingsFromControls());
  } catch (const std::exception& failure) {
    // The program ends either way and the previous file stays in place, but
    // the user is told, and the exit status says so.
    settingsUnsaved_ = true;
    std::cerr << "quexa: the settings were not saved: " << failure.what() << "\n";
    window_->messageBox(std::string("The settings were not saved: ") + failure.what(),
                        "Operation Error", MessageIcon::Critical, MessageButtons::Ok);
  }
  // Windows opened from this one (index editor, timer) are its children and
  // close with it.
  endProgram(state.searchRunning == 1);
}

void FrmMain::closeEvent(QCloseEvent* event) {
  shutdown();
  event->accept();
}

void FrmMain::stExit_Click() {
  close();
}

// --- size and splitter ---

void FrmMain::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  formResize(*this);
}

bool FrmMain::eventFilter(QObject* watched, QEvent* event) {
  // The tab control sizes its pages when it lays itself out; their controls
  // follow.
  const bool layoutEvent = event->type() == QEvent::Resize || event->type() == QEvent::Show;
  if (layoutEvent && (watched == eachSitePage || watched == allWebResult->parentWidget()))
    arrangeEachSitePage();
  if (event->type() == QEvent::FocusOut) {
    // Leaving a box for another control counts; switching to another
    // program or opening a menu does not.
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    const bool isBox = std::find(searchText.begin(), searchText.end(), watched) != searchText.end();
    if (isBox && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
      searchText_LostFocus();
  }
  return QWidget::eventFilter(watched, event);
}

void FrmMain::picDivider_MouseMove(int x) {
  dragDivider(*this, x);
}

void FrmMain::picDivider_MouseUp() {
  releaseDivider(*this);
}

// --- spin bars: the bar's value goes into its box at once ---

// Stores one choice in qxoptions.ini at once, keeping the others as read.
void FrmMain::changeOptions(const std::function<void(Options&)>& change) {
  try {
    const DataDirLock lock(state.dataDir);  // the other options read here are written back
    Options options = loadOptions(state.dataDir);
    change(options);
    saveOptions(state.dataDir, options);
  } catch (const std::exception&) {
    // The choice still serves this session; the old file stays whole.
  }
}

void FrmMain::connectionsSpin_Change(int value) {
  changeOptions([value](Options& o) { o.connections = value; });
}

void FrmMain::linkRules_Change() {
  changeOptions([this](Options& o) {
    o.standardLinks = optStandardLinks->isChecked();
    o.ignoreRobots = optIgnoreRobots->isChecked();
  });
}

void FrmMain::hitsScroll_Change(int value) {
  hitsText->setText(QString::number(value));
}
void FrmMain::timeoutScroll_Change(int value) {
  timeoutText->setText(QString::number(value));
}
void FrmMain::retryScroll_Change(int value) {
  retryText->setText(QString::number(value));
}

// --- lamp ---

void FrmMain::busyTimer_Timer() {
  lampPhase = static_cast<int16_t>((lampPhase + 1) % 2);
  ImageGreen->setVisible(lampPhase == 0);
}

// --- help ---

void FrmMain::helpCfg_Click() {
  const std::string document = helpDocument(
      state.dataDir, manualCandidates(QCoreApplication::applicationDirPath().toStdString()));
  // A missing help file gives no message; a viewer that will not open it does.
  if (document.empty()) return;
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(qs(document))))
    window_->reportNotOpened(document);
}

// searchConfig_Click, buttonMine_Click and buttonEngine_Click are in
// frm_main_modes.cpp; buttonIndex_Click opens frmDir (frm_dir.cpp) and
// buttonTimer_Click frmTimer (frm_timer.cpp).

}  // namespace quexa
