// frmMain, the main window: the set-up view (search texts, word list, the
// "My Web Sites", "Web Engines" and "Search Options" frames), the results
// view (the two result tabs), the command buttons and the status line.
// The controls are public members under their window names so that the
// searches' front end and the tests reach them directly; the handlers are
// one slot each, named after the control and the event.
#pragma once

#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "app/controls.h"
#include "app/layout.h"
#include "app/search_frame.h"
#include "app/settings.h"
#include "app/state.h"
#include "data/options_file.h"
#include "data/word_list.h"
#include "qt_window.h"
#include "result_hooks.h"
#include "user_engine_boxes.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QTextEdit;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace quexa {

class Fetcher;
class PicDivider;
class SpinBar;

inline constexpr const char* kMainCaption = "Quexa (V2.0)";

class FrmMain : public QWidget {
  Q_OBJECT

 public:
  explicit FrmMain(QWidget* parent = nullptr);
  ~FrmMain() override;

  // --- set-up view ---
  QWidget* frameSearch = nullptr;
  QLabel* lblText = nullptr;  // "Search Text"
  QLabel* Label1 = nullptr;   // "Text Searched"
  std::array<QLineEdit*, 4> searchText{};
  // The connector choices between neighbouring boxes: AND, OR, NOT.
  QWidget* Picture1 = nullptr;
  QWidget* Picture2 = nullptr;
  QWidget* Picture3 = nullptr;
  std::array<QRadioButton*, 3> Opt1{};
  std::array<QRadioButton*, 3> Opt2{};
  std::array<QRadioButton*, 3> Opt3{};
  QListWidget* wordList = nullptr;
  QPushButton* searchAdd = nullptr;
  QPushButton* searchCopy = nullptr;
  QPushButton* searchRemove = nullptr;
  QPushButton* searchRemoveAll = nullptr;

  QGroupBox* frameMine = nullptr;
  QComboBox* searchCat = nullptr;
  QListWidget* listCategory = nullptr;
  QPushButton* buttonIndex = nullptr;
  // How many connections a search fetches pages over (qxoptions.ini).
  QLabel* lblConnections = nullptr;
  QSpinBox* connectionsSpin = nullptr;

  QGroupBox* frameEngine = nullptr;
  QCheckBox* chk_yahoo = nullptr;
  QCheckBox* chk_lycos = nullptr;
  QCheckBox* chk_infoseek = nullptr;
  QCheckBox* chk_excite = nullptr;
  QCheckBox* chk_altavista = nullptr;
  // The user's own engines under the five, the editor of them, and whether
  // hits are checked (qxengines.ini, qxoptions.ini).
  UserEngineBoxes* userEngineBoxes = nullptr;
  QPushButton* buttonEngines = nullptr;  // "Engi&nes..."
  QCheckBox* chkCheckHits = nullptr;     // "Check &Hits"

  QGroupBox* frameOption = nullptr;
  QCheckBox* optCase = nullptr;
  QCheckBox* optSearchAll = nullptr;
  // The crawl's link rules and robots.txt, kept in qxoptions.ini.
  QCheckBox* optStandardLinks = nullptr;
  QCheckBox* optIgnoreRobots = nullptr;
  QLabel* lblProxy = nullptr;
  QLineEdit* proxyText = nullptr;
  QLabel* lblTimeout = nullptr;
  QLineEdit* timeoutText = nullptr;
  SpinBar* timeoutScroll = nullptr;
  QLabel* lblSeconds = nullptr;
  QLabel* lblRetry = nullptr;
  QLineEdit* retryText = nullptr;
  SpinBar* retryScroll = nullptr;
  QLabel* lblHits = nullptr;
  QLineEdit* hitsText = nullptr;
  SpinBar* hitsScroll = nullptr;

  // --- results view ---
  QTabWidget* dispTab = nullptr;
  QTextEdit* allWebResult = nullptr;  // tab 0, "View All Web Sites"
  QWidget* eachSitePage = nullptr;    // tab 1, "View Each Web Site"
  QTreeWidget* outlineFile = nullptr;
  PicDivider* picDivider = nullptr;
  QTextEdit* dispResult = nullptr;
  QPushButton* searchPage = nullptr;

  // --- command buttons ---
  QPushButton* searchNow = nullptr;
  QPushButton* searchStop = nullptr;
  QPushButton* searchConfig = nullptr;
  QPushButton* viewPrev = nullptr;
  QPushButton* searchPrint = nullptr;
  QPushButton* searchSave = nullptr;
  QPushButton* buttonView = nullptr;
  QPushButton* buttonMine = nullptr;
  QPushButton* buttonEngine = nullptr;
  QPushButton* buttonTimer = nullptr;
  QPushButton* stExit = nullptr;
  QPushButton* helpCfg = nullptr;

  // --- status line ---
  QLabel* ImageRed = nullptr;
  QLabel* ImageGreen = nullptr;
  QLabel* dispFile = nullptr;
  QLabel* lblResult = nullptr;
  // Pages and engines the last search could not fetch; hidden while none.
  QLabel* lblUnfetched = nullptr;

  QTimer* busyTimer = nullptr;  // blinks the green lamp every 150 ms
  int16_t lampPhase = 0;

  // --- state of the run ---
  AppState state;
  int16_t mineMode = 1;
  int16_t engineMode = 0;
  int32_t savedFormWidth = 9375;  // twips
  int32_t splitterLeft = 4425;    // twips, picDivider's left edge
  // The layout as last applied, in twips of the client area; the splitter
  // bar's left edge lives here while it is dragged (main_layout.h).
  MainLayout layout;
  // Twips convert at this many dots per inch; 0 means the screen's.
  double twipsDpi = 0;

  // Ends the program once shutdown has saved the settings; searchRunning
  // tells whether a search is still inside its handler. Tests replace it.
  std::function<void(bool searchRunning)> endProgram;
  // The printer and save dialogs and the browser of the result commands.
  ResultHooks resultHooks;

  // The quexa::Window over these controls, which the searches write to.
  QtWindow& window() { return *window_; }

  // The controls as the searches read them at their start.
  MainControls currentControls() const;
  Settings settingsFromControls() const;
  // Puts settings into the controls; the spin bars follow their boxes
  // without rewriting them.
  void showSettings(const Settings& settings);

  // The command button of a switched control.
  QPushButton* commandButton(Control control) const;

  // The word list as the core keeps it, and back into the control.
  WordList wordListEntries() const;
  void showWordList(const WordList& list);
  std::array<std::string, 4> searchTexts() const;

  // The usual way out: stopRequest, the closing message, the settings file,
  // then endProgram. Runs once, whichever of close box and "E&xit" comes first.
  void shutdown();

 public slots:
  void searchNow_Click();
  void searchStop_Click();
  void searchConfig_Click();
  void viewPrev_Click();
  void searchPrint_Click();
  void searchSave_Click();
  void buttonView_Click();
  void buttonMine_Click();
  void buttonEngine_Click();
  void buttonIndex_Click();
  void buttonTimer_Click();
  void searchPage_Click();
  void stExit_Click();
  void helpCfg_Click();

  void searchAdd_Click();
  void searchCopy_Click();
  void searchRemove_Click();
  void searchRemoveAll_Click();
  void wordList_Click();
  void searchText_Change();
  void searchText_LostFocus();
  void searchCat_Click();

  void hitsScroll_Change(int value);
  void timeoutScroll_Change(int value);
  void retryScroll_Change(int value);
  void connectionsSpin_Change(int value);
  void buttonEngines_Click();  // frm_engines.cpp
  void chkCheckHits_Click(bool checked);
  void linkRules_Change();
  void changeOptions(const std::function<void(Options&)>& change);

  void busyTimer_Timer();
  void dispTab_Click(int index);
  void outlineFile_NodeClick(QTreeWidgetItem* node);
  void picDivider_MouseMove(int x);
  void picDivider_MouseUp();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Construction of the controls (frm_main_controls.cpp).
  void createControls();
  void createSetupView();
  void createSearchTexts();
  void createSiteFrame();
  void createEngineFrame();
  void createOptionFrame();
  void createResultsView();
  void createCommandButtons();
  void createStatusLine();
  void connectHandlers();

  // Placement (frm_main_arrange.cpp).
  void arrangeControls();
  void arrangeEachSitePage();
  void place(QWidget* widget, double left, double top, double width, double height) const;
  double dpi() const;

  // Start-up (frm_main.cpp), in the order the window loads.
  void formLoad();
  void prepareResultTree();
  void enableStartButtons();
  void readSettingsFile();
  void readOptionsFile();
  void applyModeFrames(bool mine);
  void fillModeLists();
  void applySavedGeometry();

  // Keyboard (frm_main_focus.cpp): the tab order follows the window top to
  // bottom, left to right; a finished search leaves the focus on its results.
  void setTabOrderByPlace();
  void focusResults();
  // A number box left empty refuses the start: the message names the box and
  // its range, and the focus goes to it. True when all three hold a number.
  bool numberBoxesFilled();

  void saveWordListNow();
  // The one place where a search runs; the search checks its inputs first
  // and leaves the window untouched when they fail.
  void runSearch(SearchKind kind);
  // Runs a handler's work; a failure of the data files is shown instead of
  // leaving the handler.
  void guarded(const std::function<void()>& work);

  std::unique_ptr<QtWindow> window_;
  bool shuttingDown_ = false;
  bool settingsUnsaved_ = false;  // the program then ends with status 1
  bool checkingBoxes_ = false;
  // The fetcher of what runs now, which Stop abandons (search_tools.h).
  Fetcher* activeFetcher_ = nullptr;
  // The node whose page the panes show; a refused click goes back to it.
  std::string shownNodeKey_;
};

}  // namespace quexa
