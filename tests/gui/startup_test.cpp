// Loading the main window from a data directory and shutting it down.
#include <QElapsedTimer>

#include "app/settings.h"
#include "frm_splash.h"
#include "gui_fixture.h"
#include "spin_bar.h"

namespace quexa::testing {
namespace {

using StartupTest = GuiTest;

TEST_F(StartupTest, FirstRunShowsTheDefaultsInTheSiteModeWithOnlyStartReady) {
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

  EXPECT_EQ(w.dispFile->text().toStdString(), "Ready to search!");
  EXPECT_EQ(w.state.foundStatus, "Found: 0");
  EXPECT_EQ(w.state.linkStatus, "Links: 0/0");
  EXPECT_EQ(w.state.matchBuffer, std::string(kMatchBufferSize, ' '));
  EXPECT_TRUE(messages.empty());

  // Only Start is ready among the search commands, and the lamp is red.
  EXPECT_TRUE(w.searchNow->isEnabled());
  for (QPushButton* b : {w.searchConfig, w.searchStop, w.searchSave, w.searchPrint, w.searchPage,
                         w.searchRemove, w.searchCopy, w.searchAdd})
    EXPECT_FALSE(b->isEnabled()) << b->text().toStdString();
  EXPECT_TRUE(w.searchRemoveAll->isEnabled());
  EXPECT_TRUE(w.ImageRed->isVisibleTo(&w));
  EXPECT_FALSE(w.ImageGreen->isVisibleTo(&w));
  EXPECT_FALSE(w.busyTimer->isActive());
  EXPECT_TRUE(w.frameSearch->isVisibleTo(&w));
}

// Numbers outside a spin bar's range keep their text; the bar stops at its end.
TEST_F(StartupTest, EngineModeStartsWithTheSavedControlsTheEngineFrameAndItsWordList) {
  Settings saved;
  saved.mineMode = 0;
  saved.engineMode = 1;
  saved.chkLycos = saved.optCase = true;
  saved.proxyText = "proxy.local";
  saved.timeoutText = "5";
  saved.hitsText = "99999";
  saved.retryText = "44";
  saved.savedFormWidth = 12000;
  saved.splitterLeft = 5000;
  writeFile("qxconfig.qxf", encodeSettings(saved));
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

TEST_F(StartupTest, ExitAndTheCloseBoxShutDownOnlyOnceAndSaveWhileASearchRuns) {
  FrmMain& w = openMainWindow();
  int ends = 0;
  bool running = false;
  w.endProgram = [&](bool searchRunning) {
    ++ends;
    running = searchRunning;
  };
  w.state.searchRunning = 1;
  w.hitsText->setText("450");
  w.stExit->click();
  w.close();
  EXPECT_EQ(ends, 1);
  EXPECT_TRUE(running);
  EXPECT_EQ(decodeSettings(readFile("qxconfig.qxf")).hitsText, "450");
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

}  // namespace
}  // namespace quexa::testing
