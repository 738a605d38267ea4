// Loading the main window from a data directory and shutting it down; the
// number boxes, their spin bars, the proxy box and the options file; and
// which document "&Help" opens.
#include <QElapsedTimer>
#include <QSpinBox>
#include <QToolButton>
#include <QValidator>

#include "app/settings.h"
#include "frm_splash.h"
#include "gui_fixture.h"
#include "help_file.h"
#include "spin_bar.h"
#include "support/scratch_dir.h"

namespace quexa::testing {
namespace {

using StartupTest = GuiTest;

TEST_F(StartupTest, FirstRunShowsTheDefaultsWithOnlyStartReadyAndExitShutsDownOnce) {
  FrmMain& w = openMainWindow();
  EXPECT_EQ(w.windowTitle().toStdString(), "Quexa (V2.0)");
  EXPECT_EQ(w.state.dataDir, dir().string() + "/");
  EXPECT_TRUE(exists("qxindex.ini"));
  EXPECT_EQ(w.settingsFromControls(), Settings{});
  EXPECT_EQ(
      (std::vector<int>{w.hitsScroll->value(), w.timeoutScroll->value(), w.retryScroll->value()}),
      (std::vector<int>{3000, 30, 10}));
  EXPECT_TRUE(w.frameMine->isEnabled() && w.searchCat->isEnabled());
  EXPECT_FALSE(w.frameEngine->isEnabled() || w.chk_yahoo->isEnabled());
  EXPECT_EQ((std::vector<std::string>{w.dispFile->text().toStdString(), w.state.foundStatus,
                                      w.state.linkStatus}),
            (std::vector<std::string>{"Ready to search!", "Found: 0", "Links: 0/0"}));
  EXPECT_EQ(w.state.matchBuffer, std::string(kMatchBufferSize, ' '));
  EXPECT_TRUE(messages.empty());

  // Only Start is ready among the search commands, and the lamp is red.
  EXPECT_TRUE(w.searchNow->isEnabled() && w.searchRemoveAll->isEnabled());
  for (QPushButton* b : {w.searchConfig, w.searchStop, w.searchSave, w.searchPrint, w.searchPage,
                         w.searchRemove, w.searchCopy, w.searchAdd})
    EXPECT_FALSE(b->isEnabled()) << b->text().toStdString();
  EXPECT_EQ(lampOf(w), "red");
  EXPECT_TRUE(w.frameSearch->isVisibleTo(&w));

  // "E&xit" and the close box shut down once, saving while a search runs.
  std::vector<bool> ends;
  w.endProgram = [&](bool searchRunning) { ends.push_back(searchRunning); };
  w.state.searchRunning = 1;
  w.hitsText->setText("450");
  w.stExit->click();
  w.close();
  EXPECT_EQ(ends, std::vector<bool>{true});
  EXPECT_EQ(decodeSettings(readFile("qxconfig.qxf")).hitsText, "450");
}

// Numbers outside a spin bar's range keep their text; the bar stops at its end.
TEST_F(StartupTest, EngineModeStartsWithTheSavedControlsTheEngineFrameAndItsWordList) {
  Settings saved;
  saved.chkLycos = saved.optCase = true;
  saved.proxyText = "proxy.local";
  saved.hitsText = "99999";
  saved.savedFormWidth = 12000;
  saved.splitterLeft = 5000;
  saved = saveEngineMode(saved, "5", "44");
  writeFile("qxwordeg.ini", "zeta\r\n  alpha \r\nMid\r\n");
  writeFile("qxindex.ini", "[Work]\r\nhttp://a/\r\n");

  FrmMain& w = openMainWindow();
  EXPECT_EQ(w.settingsFromControls(), saved);
  EXPECT_EQ(
      (std::vector<int>{w.hitsScroll->value(), w.timeoutScroll->value(), w.retryScroll->value()}),
      (std::vector<int>{30000, 30, 44}));
  EXPECT_TRUE(w.frameEngine->isEnabled() && w.chk_altavista->isEnabled());
  EXPECT_FALSE(w.frameMine->isEnabled() || w.buttonIndex->isEnabled());
  EXPECT_EQ(itemsOf(w.wordList), (std::vector<std::string>{"Mid", "alpha", "zeta"}));
  EXPECT_EQ(w.searchCat->count(), 0);
}

// A directory at the record's temporary name is no obstacle; a record that
// cannot be written is reported rather than passed over.
TEST_F(StartupTest, ClosingWritesTheControlsIntoA300ByteRecordOrReportsAFailedSave) {
  std::filesystem::create_directory(path("qxconfig.qf~"));
  FrmMain& w = openMainWindow();
  w.optCase->setChecked(true);
  w.chk_excite->setChecked(true);
  w.proxyText->setText("cache");
  w.retryText->setText("7");
  w.close();

  EXPECT_EQ(w.state.stopRequest, 1);
  EXPECT_EQ(w.dispFile->text().toStdString(), "Please wait while connection is being closed .....");
  const std::string record = readFile("qxconfig.qxf");
  ASSERT_EQ(record.size(), kSettingsRecordSize);
  EXPECT_EQ(record.substr(7, 6), std::string("\x05"
                                             "cache"));
  const Settings stored = decodeSettings(record);
  EXPECT_EQ(stored, w.settingsFromControls());
  EXPECT_TRUE(stored.optCase && stored.chkExcite);
  EXPECT_EQ(endedWhileRunning, std::optional<bool>(false));
  EXPECT_TRUE(messages.empty());

  form.reset();
  std::filesystem::remove(path("qxconfig.qxf"));
  std::filesystem::create_directories(path("qxconfig.qxf/inner"));
  openMainWindow().close();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].title, "Operation Error");
  EXPECT_EQ(messages[0].text.rfind("The settings were not saved: ", 0), 0u) << messages[0].text;
}

TEST_F(StartupTest, SplashLoadsTheMainWindowAtItsTimerAndCloses) {
  auto* splash = new FrmSplash;
  splash->show();
  EXPECT_EQ(splash->Timer1->interval(), 100);
  QElapsedTimer waited;
  waited.start();
  while (splash->mainWindow() == nullptr && waited.elapsed() < 10000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  FrmMain* main = splash->mainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(main->isVisible());
  EXPECT_FALSE(splash->isVisible());
  main->endProgram = [](bool) {};
  main->close();  // deletes itself
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  delete splash;
}

// Which of the texts a box takes, as a person typing or pasting them.
std::vector<bool> taken(QLineEdit* box, const std::vector<QString>& texts) {
  std::vector<bool> accepted;
  for (QString text : texts) {
    int position = 0;
    accepted.push_back(text.size() <= box->maxLength() &&
                       box->validator()->validate(text, position) == QValidator::Acceptable);
  }
  return accepted;
}

TEST_F(StartupTest, AnArrowReplacesATypedTextSpinBarsKeepToTheirRangesAndBoxesToTheRecord) {
  FrmMain& w = openMainWindow();
  w.timeoutText->setText("45");
  EXPECT_EQ(w.timeoutScroll->value(), 30);  // typing leaves the bar where it was
  w.timeoutScroll->upArrow()->click();
  EXPECT_EQ(w.timeoutText->text().toStdString(), "32");
  w.timeoutScroll->downArrow()->click();
  EXPECT_EQ(w.timeoutText->text().toStdString(), "30");

  struct Case {
    SpinBar* spin;
    QLineEdit* box;
    int step, min, max;
  };
  for (const Case& c : {Case{w.hitsScroll, w.hitsText, 50, 100, 30000},
                        Case{w.timeoutScroll, w.timeoutText, 2, 30, 90},
                        Case{w.retryScroll, w.retryText, 1, 3, 99}}) {
    const int start = c.spin->value();
    c.spin->upArrow()->click();
    EXPECT_EQ(c.box->text().toInt(), start + c.step);
    c.spin->setValue(c.max + 1000);
    EXPECT_EQ(c.box->text().toInt(), c.max);
    c.spin->setValue(c.min - 1000);
    EXPECT_EQ(c.box->text().toInt(), c.min);
    // At the end of its range an arrow changes nothing, not even a typed text.
    c.box->setText("12345");
    c.spin->downArrow()->click();
    EXPECT_EQ(c.box->text().toStdString(), "12345");
  }

  // The boxes take only what the settings record can hold.
  for (QLineEdit* box : {w.hitsText, w.timeoutText, w.retryText})
    EXPECT_EQ(taken(box, {"0123456789", "", "01234567890", "4a", "-5", " 5"}),
              (std::vector<bool>{true, true, false, false, false, false}));
  // The proxy box takes Latin-1 text that fits the record; not the euro sign.
  EXPECT_EQ(
      taken(w.proxyText, {"proxy.example.com:8080", QString::fromUtf8("h\xC3\xA9te"),
                          QString::fromUtf8("\xE2\x82\xAC"), QString::fromUtf8("\xE4\xB8\xAD"),
                          QString(200, 'p'), QString(201, 'p')}),
      (std::vector<bool>{true, true, false, false, true, false}));

  // Whatever the boxes take, the settings record can be written.
  w.proxyText->setText(QString(200, QChar(0xFF)));
  for (QLineEdit* box : {w.hitsText, w.timeoutText, w.retryText}) box->setText("9999999999");
  EXPECT_EQ(settingsFitProblem(w.settingsFromControls()), std::nullopt);
}

// Each change is rewritten at once as the other data files are; the unknown
// entry stays.
TEST_F(StartupTest, OptionsComeFromTheOptionsFileAndAChangeIsStoredAtOnce) {
  const std::string file = "[Options]\nconnections=40\nkept=yes\nrobots=ignore\n";
  writeFile("qxoptions.ini", file);
  FrmMain& w = openMainWindow();
  EXPECT_EQ(w.connectionsSpin->value(), 16);  // out of range: the nearest end
  EXPECT_FALSE(w.optStandardLinks->isChecked());
  EXPECT_TRUE(w.optIgnoreRobots->isChecked());
  EXPECT_EQ(readFile("qxoptions.ini"), file);

  w.connectionsSpin->setValue(2);
  EXPECT_EQ(readFile("qxoptions.ini"),
            "[Options]\r\nkept=yes\r\nconnections=2\r\nrobots=ignore\r\n");
  w.optStandardLinks->click();
  w.optIgnoreRobots->click();
  EXPECT_EQ(readFile("qxoptions.ini"),
            "[Options]\r\nkept=yes\r\nconnections=2\r\nlinks=standard\r\nrobots=honour\r\n");
  const MainControls c = w.currentControls();
  EXPECT_TRUE(c.standardLinks && !c.ignoreRobots);
  form.reset();
  EXPECT_EQ(openMainWindow().connectionsSpin->value(), 2);
  EXPECT_TRUE(form->optStandardLinks->isChecked());
}

// The data directory's help file, else the first manual that exists; a
// folder of that name is no help file.
TEST(HelpFileTest, PrefersTheDataDirectorysHelpFileThenTheFirstManualThatExists) {
  const ScratchDir root;
  std::filesystem::create_directories(root.file("data"));
  const std::string dataDir = root.file("data/");
  root.write("manual.html", "<html></html>");
  const std::string missing = root.file("missing.html"), manual = root.file("manual.html");
  EXPECT_EQ(helpDocument(dataDir, {missing}), "");
  EXPECT_EQ(helpDocument(dataDir, {missing, manual}), manual);
  root.write("data/quexa.hlp", "help");
  EXPECT_EQ(helpDocument(dataDir, {manual}), dataDir + "quexa.hlp");
  std::filesystem::remove(dataDir + "quexa.hlp");
  std::filesystem::create_directory(dataDir + "quexa.hlp");
  EXPECT_EQ(helpDocument(dataDir, {manual}), manual);
}

}  // namespace
}  // namespace quexa::testing
