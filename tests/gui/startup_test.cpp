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

  EXPECT_FALSE(w.optCase->isChecked());
  EXPECT_TRUE(w.optSearchAll->isChecked());
  for (QCheckBox* box : {w.chk_yahoo, w.chk_lycos, w.chk_infoseek, w.chk_excite, w.chk_altavista})
    EXPECT_FALSE(box->isChecked());
  EXPECT_EQ(w.proxyText->text().toStdString(), "");
  EXPECT_EQ(w.hitsText->text().toStdString(), "3000");
  EXPECT_EQ(w.timeoutText->text().toStdString(), "30");
  EXPECT_EQ(w.retryText->text().toStdString(), "10");
  EXPECT_EQ(w.hitsScroll->value(), 3000);
  EXPECT_EQ(w.timeoutScroll->value(), 30);
  EXPECT_EQ(w.retryScroll->value(), 10);
  EXPECT_EQ(w.savedFormWidth, 9375);
  EXPECT_EQ(w.splitterLeft, 4425);

  EXPECT_EQ(w.mineMode, 1);
  EXPECT_TRUE(w.frameMine->isEnabled());
  EXPECT_TRUE(w.searchCat->isEnabled());
  EXPECT_FALSE(w.frameEngine->isEnabled());
  EXPECT_FALSE(w.chk_yahoo->isEnabled());
  EXPECT_TRUE(exists("qxindex.ini"));

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

TEST_F(StartupTest, IndexNamesComeFromTheCurrentDirectoryWithNoneChosen) {
  writeFile("qxindex.ini", "[Work]\r\nhttp://a.example/\r\n\r\n  [ My Sites ] \r\nhttp://b/\r\n");
  FrmMain& w = openMainWindow();
  ASSERT_EQ(w.searchCat->count(), 2);
  EXPECT_EQ(w.searchCat->itemText(0).toStdString(), "Work");
  EXPECT_EQ(w.searchCat->itemText(1).toStdString(), "My Sites");
  EXPECT_EQ(w.searchCat->currentText().toStdString(), "");
  EXPECT_EQ(w.listCategory->count(), 0);
  EXPECT_EQ(w.wordList->count(), 0);
}

TEST_F(StartupTest, EngineModeStartsWithTheEngineFrameAndTheEngineWordList) {
  Settings saved;
  saved.mineMode = 0;
  saved.engineMode = 1;
  saved.chkLycos = true;
  saved.proxyText = "proxy.local";
  saved.timeoutText = "44";
  writeFile("qxconfig.qxf", encodeSettings(saved));
  writeFile("qxwordeg.ini", "zeta\r\n  alpha \r\nMid\r\n");
  writeFile("qxindex.ini", "[Work]\r\nhttp://a/\r\n");

  FrmMain& w = openMainWindow();
  EXPECT_EQ(w.engineMode, 1);
  EXPECT_TRUE(w.frameEngine->isEnabled());
  EXPECT_TRUE(w.chk_altavista->isEnabled());
  EXPECT_FALSE(w.frameMine->isEnabled());
  EXPECT_FALSE(w.buttonIndex->isEnabled());
  EXPECT_TRUE(w.chk_lycos->isChecked());
  EXPECT_EQ(w.proxyText->text().toStdString(), "proxy.local");
  EXPECT_EQ(w.timeoutText->text().toStdString(), "44");
  EXPECT_EQ(w.timeoutScroll->value(), 44);
  EXPECT_EQ(itemsOf(w.wordList), (std::vector<std::string>{"Mid", "alpha", "zeta"}));
  EXPECT_EQ(w.searchCat->count(), 0);
}

TEST_F(StartupTest, StoredNumbersOutsideTheSpinRangeKeepTheirText) {
  Settings saved;
  saved.timeoutText = "5";
  saved.hitsText = "99999";
  writeFile("qxconfig.qxf", encodeSettings(saved));
  FrmMain& w = openMainWindow();
  EXPECT_EQ(w.timeoutText->text().toStdString(), "5");
  EXPECT_EQ(w.timeoutScroll->value(), 30);
  EXPECT_EQ(w.hitsText->text().toStdString(), "99999");
  EXPECT_EQ(w.hitsScroll->value(), 30000);
}

TEST_F(StartupTest, ClosingWritesTheControlsIntoA300ByteRecord) {
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
  EXPECT_TRUE(stored.optCase);
  EXPECT_TRUE(stored.chkExcite);
  EXPECT_EQ(stored.retryText, "7");
  EXPECT_EQ(endedWhileRunning, std::optional<bool>(false));
}

TEST_F(StartupTest, ExitAndTheCloseBoxShutDownOnlyOnce) {
  FrmMain& w = openMainWindow();
  int ends = 0;
  w.endProgram = [&](bool) { ++ends; };
  w.stExit->click();
  w.close();
  EXPECT_EQ(ends, 1);
  EXPECT_EQ(readFile("qxconfig.qxf").size(), kSettingsRecordSize);
}

TEST_F(StartupTest, ClosingWhileASearchRunsStillSavesAndEndsAtOnce) {
  FrmMain& w = openMainWindow();
  w.state.searchRunning = 1;
  w.hitsText->setText("450");
  w.close();
  EXPECT_EQ(decodeSettings(readFile("qxconfig.qxf")).hitsText, "450");
  EXPECT_EQ(endedWhileRunning, std::optional<bool>(true));
}

// A directory at the record's temporary name is no obstacle; a record that
// cannot be written is reported rather than passed over.
TEST_F(StartupTest, ClosingSavesPastADirectoryAtTheTemporaryNameAndReportsAFailedSave) {
  std::filesystem::create_directory(path("qxconfig.qf~"));
  openMainWindow().close();
  EXPECT_EQ(readFile("qxconfig.qxf").size(), kSettingsRecordSize);
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

}  // namespace
}  // namespace quexa::testing
