// The controls of frmMain, their captions, tool tips and input rules.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

#include "frm_main.h"
#include "lamp.h"
#include "net/parallel_fetcher.h"
#include "pic_divider.h"
#include "spin_bar.h"

namespace quexa {

namespace {
QPushButton* makeButton(const char* caption, const char* toolTip, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  if (toolTip != nullptr) button->setToolTip(toolTip);
  return button;
}

QLineEdit* makeNumberBox(QWidget* parent) {
  auto* box = new QLineEdit(parent);
  box->setMaxLength(static_cast<int>(kMaxNumberTextLength));
  box->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QString("\\d{0,%1}").arg(kMaxNumberTextLength)), box));
  box->setAlignment(Qt::AlignRight);
  return box;
}

// One byte a character in the settings record: only Latin-1 can be typed.
QLineEdit* makeProxyBox(QWidget* parent) {
  auto* box = new QLineEdit(parent);
  box->setMaxLength(static_cast<int>(kMaxProxyLength));
  box->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QString("[\\x{20}-\\x{7E}\\x{A0}-\\x{FF}]{0,%1}").arg(kMaxProxyLength)),
      box));
  return box;
}

std::array<QRadioButton*, 3> makeConnector(QWidget* picture) {
  auto* group = new QButtonGroup(picture);
  std::array<QRadioButton*, 3> buttons{};
  const char* captions[] = {"AND", "OR", "NOT"};
  for (size_t i = 0; i < buttons.size(); ++i) {
    buttons[i] = new QRadioButton(captions[i], picture);
    group->addButton(buttons[i]);
  }
  buttons[0]->setChecked(true);
  return buttons;
}

QTextEdit* makePane(QWidget* parent) {
  auto* pane = new QTextEdit(parent);
  pane->setReadOnly(true);
  pane->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  const QFont font("Times New Roman", 9, QFont::Bold);
  pane->document()->setDefaultFont(font);
  pane->setCurrentFont(font);
  return pane;
}
}  // namespace

void FrmMain::createControls() {
  createResultsView();
  createSetupView();
  createCommandButtons();
  createStatusLine();
}

void FrmMain::createSetupView() {
  // The set-up view lies over the results view; hiding it uncovers them.
  frameSearch = new QWidget(this);
  frameSearch->setAutoFillBackground(true);
  createSearchTexts();
  createSiteFrame();
  createEngineFrame();
  createOptionFrame();
  frameSearch->raise();
}

void FrmMain::createSearchTexts() {
  lblText = new QLabel("Search Text", frameSearch);
  lblText->setAlignment(Qt::AlignCenter);
  Label1 = new QLabel("Text Searched", frameSearch);
  Label1->setAlignment(Qt::AlignCenter);
  for (auto& box : searchText) {
    box = new QLineEdit(frameSearch);
    box->setToolTip("Enter search text.");
    box->installEventFilter(this);
  }
  Picture1 = new QWidget(frameSearch);
  Picture2 = new QWidget(frameSearch);
  Picture3 = new QWidget(frameSearch);
  Opt1 = makeConnector(Picture1);
  Opt2 = makeConnector(Picture2);
  Opt3 = makeConnector(Picture3);

  wordList = new QListWidget(frameSearch);
  wordList->setToolTip("Word list");
  // Every entry is one line of text: measuring each of a long list again at
  // every layout would hold up the start.
  wordList->setUniformItemSizes(true);
  searchAdd = makeButton(">>", "Save the search text.", frameSearch);
  searchCopy = makeButton("<<", "Copy the selected text into the search field.", frameSearch);
  searchRemove = makeButton("&Remove", "Delete the selected text.", frameSearch);
  searchRemoveAll = makeButton("Rem&ove All", "Delete all text.", frameSearch);
}

void FrmMain::createSiteFrame() {
  frameMine = new QGroupBox("My Web Sites", frameSearch);
  searchCat = new QComboBox(frameMine);
  searchCat->setToolTip("Choose one index");
  listCategory = new QListWidget(frameMine);
  listCategory->setToolTip("URL list");
  buttonIndex = makeButton("&Index", "Create index", frameMine);
  lblConnections = new QLabel("Connections:", frameMine);
  connectionsSpin = new QSpinBox(frameMine);
  connectionsSpin->setRange(kMinConnections, kMaxConnections);
  connectionsSpin->setValue(kDefaultConnections);
  connectionsSpin->setToolTip("Connections used to fetch pages (1-16)");
  lblConnections->setBuddy(connectionsSpin);
}

void FrmMain::createEngineFrame() {
  frameEngine = new QGroupBox("Web Engines", frameSearch);
  chk_yahoo = new QCheckBox("&Yahoo!", frameEngine);
  chk_lycos = new QCheckBox("&Lycos", frameEngine);
  chk_infoseek = new QCheckBox("&InfoSeek", frameEngine);
  chk_excite = new QCheckBox("&Excite", frameEngine);
  chk_altavista = new QCheckBox("&AltaVista", frameEngine);
  userEngineBoxes = new UserEngineBoxes(frameEngine);
  userEngineBoxes->adoptBuiltIn({chk_yahoo, chk_lycos, chk_infoseek, chk_excite, chk_altavista});
  buttonEngines =
      makeButton("Engi&nes...", "Engines...: add or remove your own Web engines", frameEngine);
  buttonEngines->setAccessibleName("Engines...");
  chkCheckHits = new QCheckBox("Check &Hits", frameEngine);
  chkCheckHits->setToolTip("Fetch each hit's page and list only those that hold the texts");
}

void FrmMain::createOptionFrame() {
  frameOption = new QGroupBox("Search Options", frameSearch);
  optCase = new QCheckBox("&Match Case", frameOption);
  optSearchAll = new QCheckBox("Sear&ch All Links", frameOption);
  optStandardLinks = new QCheckBox("Standar&d links", frameOption);
  optStandardLinks->setToolTip(
      "Crawl by today's link rules: real HTML links resolved against their page, https, "
      "robots.txt");
  optIgnoreRobots = new QCheckBox("S&kip robots", frameOption);
  optIgnoreRobots->setToolTip("Standard links: ignore robots.txt (for sites of your own)");
  lblProxy = new QLabel("Proxy Server:", frameOption);
  proxyText = makeProxyBox(frameOption);
  proxyText->setToolTip("Name of proxy server");
  lblTimeout = new QLabel("Timeout:", frameOption);
  timeoutText = makeNumberBox(frameOption);
  timeoutScroll = new SpinBar(kTimeoutSpin.min, kTimeoutSpin.max, kTimeoutSpin.step, frameOption);
  lblSeconds = new QLabel("Seconds", frameOption);
  lblRetry = new QLabel("Retry:", frameOption);
  retryText = makeNumberBox(frameOption);
  retryScroll = new SpinBar(kRetrySpin.min, kRetrySpin.max, kRetrySpin.step, frameOption);
  lblHits = new QLabel("Maximum Sites:", frameOption);
  hitsText = makeNumberBox(frameOption);
  hitsScroll = new SpinBar(kHitsSpin.min, kHitsSpin.max, kHitsSpin.step, frameOption);
}

void FrmMain::createResultsView() {
  dispTab = new QTabWidget(this);
  // Each tab's controls stand on a page of their own, placed by the layout
  // rules rather than filling it.
  auto* allSitesPage = new QWidget;
  allWebResult = makePane(allSitesPage);
  dispTab->addTab(allSitesPage, "View All Web Sites");
  allSitesPage->installEventFilter(this);
  eachSitePage = new QWidget;
  outlineFile = new QTreeWidget(eachSitePage);
  outlineFile->setHeaderHidden(true);
  outlineFile->setColumnCount(1);
  picDivider = new PicDivider(eachSitePage);
  dispResult = makePane(eachSitePage);
  searchPage =
      makeButton("Search Web Site", "Search page(s) linked to selected site.", eachSitePage);
  dispTab->addTab(eachSitePage, "View Each Web Site");
  eachSitePage->installEventFilter(this);
}

void FrmMain::createCommandButtons() {
  searchNow = makeButton("&Start", nullptr, this);
  searchStop = makeButton("S&top", nullptr, this);
  searchConfig = makeButton("&Main", "Back to main window", this);
  viewPrev = makeButton("&Found", "View search result", this);
  searchPrint = makeButton("&Print", "Print search result", this);
  searchSave = makeButton("Sa&ve", "Save search result", this);
  buttonView = makeButton("&View", "View URL in browser", this);
  buttonMine = makeButton("My Web Sites", "Activate My Web Sites", this);
  buttonEngine = makeButton("Web Engines", "Activate Web Engines", this);
  buttonTimer = makeButton("Timer", "Set timer", this);
  helpCfg = makeButton("&Help", "Online help", this);
  stExit = makeButton("E&xit", "Exit program", this);
}

void FrmMain::createStatusLine() {
  const int diameter = qMax(12, fontMetrics().height() - 2);
  ImageRed = new QLabel(this);
  ImageRed->setPixmap(drawLamp(QColor(200, 30, 30), diameter));
  ImageGreen = new QLabel(this);
  ImageGreen->setPixmap(drawLamp(QColor(30, 170, 40), diameter));
  dispFile = new QLabel(this);
  dispFile->setFrameShape(QFrame::StyledPanel);
  dispFile->setFrameShadow(QFrame::Sunken);
  lblResult = new QLabel(this);
  lblResult->setFrameShape(QFrame::StyledPanel);
  lblResult->setFrameShadow(QFrame::Sunken);
  lblUnfetched = new QLabel(this);
  lblUnfetched->setFrameShape(QFrame::StyledPanel);
  lblUnfetched->setFrameShadow(QFrame::Sunken);
  lblUnfetched->hide();
  busyTimer = new QTimer(this);
  busyTimer->setInterval(150);
}

void FrmMain::connectHandlers() {
  connect(searchNow, &QPushButton::clicked, this, &FrmMain::searchNow_Click);
  connect(searchStop, &QPushButton::clicked, this, &FrmMain::searchStop_Click);
  connect(searchConfig, &QPushButton::clicked, this, &FrmMain::searchConfig_Click);
  connect(viewPrev, &QPushButton::clicked, this, &FrmMain::viewPrev_Click);
  connect(searchPrint, &QPushButton::clicked, this, &FrmMain::searchPrint_Click);
  connect(searchSave, &QPushButton::clicked, this, &FrmMain::searchSave_Click);
  connect(buttonView, &QPushButton::clicked, this, &FrmMain::buttonView_Click);
  connect(buttonMine, &QPushButton::clicked, this, &FrmMain::buttonMine_Click);
  connect(buttonEngine, &QPushButton::clicked, this, &FrmMain::buttonEngine_Click);
  connect(buttonIndex, &QPushButton::clicked, this, &FrmMain::buttonIndex_Click);
  connect(buttonTimer, &QPushButton::clicked, this, &FrmMain::buttonTimer_Click);
  connect(searchPage, &QPushButton::clicked, this, &FrmMain::searchPage_Click);
  connect(stExit, &QPushButton::clicked, this, &FrmMain::stExit_Click);
  connect(helpCfg, &QPushButton::clicked, this, &FrmMain::helpCfg_Click);

  connect(searchAdd, &QPushButton::clicked, this, &FrmMain::searchAdd_Click);
  connect(searchCopy, &QPushButton::clicked, this, &FrmMain::searchCopy_Click);
  connect(searchRemove, &QPushButton::clicked, this, &FrmMain::searchRemove_Click);
  connect(searchRemoveAll, &QPushButton::clicked, this, &FrmMain::searchRemoveAll_Click);
  connect(wordList, &QListWidget::itemSelectionChanged, this, &FrmMain::wordList_Click);
  for (QLineEdit* box : searchText)
    connect(box, &QLineEdit::textChanged, this, &FrmMain::searchText_Change);
  connect(searchCat, &QComboBox::activated, this, &FrmMain::searchCat_Click);

  connect(hitsScroll, &SpinBar::valueChanged, this, &FrmMain::hitsScroll_Change);
  connect(timeoutScroll, &SpinBar::valueChanged, this, &FrmMain::timeoutScroll_Change);
  connect(retryScroll, &SpinBar::valueChanged, this, &FrmMain::retryScroll_Change);
  connect(connectionsSpin, &QSpinBox::valueChanged, this, &FrmMain::connectionsSpin_Change);
  connect(buttonEngines, &QPushButton::clicked, this, &FrmMain::buttonEngines_Click);
  connect(chkCheckHits, &QCheckBox::toggled, this, &FrmMain::chkCheckHits_Click);
  for (QCheckBox* box : {optStandardLinks, optIgnoreRobots})
    connect(box, &QCheckBox::toggled, this, &FrmMain::linkRules_Change);

  connect(busyTimer, &QTimer::timeout, this, &FrmMain::busyTimer_Timer);
  connect(dispTab, &QTabWidget::currentChanged, this, &FrmMain::dispTab_Click);
  connect(outlineFile, &QTreeWidget::itemClicked, this, &FrmMain::outlineFile_NodeClick);
  connect(outlineFile, &QTreeWidget::itemExpanded, this,
          [](QTreeWidgetItem* node) { QtWindow::showNodeImage(node, true); });
  connect(outlineFile, &QTreeWidget::itemCollapsed, this,
          [](QTreeWidgetItem* node) { QtWindow::showNodeImage(node, false); });
  connect(picDivider, &PicDivider::dragged, this, &FrmMain::picDivider_MouseMove);
  connect(picDivider, &PicDivider::released, this, &FrmMain::picDivider_MouseUp);
}

}  // namespace quexa
