// Switching between "My Web Sites" and "Web Engines", and "&Main" back to
// the set-up view.
#include "app/settings.h"
#include "gui_fixture.h"

namespace quexa::testing {
namespace {

class ModesTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    writeFile("qxindex.ini", "[Work]\r\nhttp://w1/\r\nhttp://w2/\r\n[Home]\r\nhttp://h/\r\n");
    writeFile("qxword.ini", "[Work]\r\nreport\r\n");
    writeFile("qxwordeg.ini", "weather\r\nnews\r\n");
  }

  // The window with an index chosen, texts typed and results shown.
  FrmMain& openWithResults() {
    FrmMain& w = openMainWindow();
    w.searchCat->setCurrentIndex(0);
    w.searchCat_Click();
    for (QLineEdit* box : w.searchText) box->setText("text");
    w.window().insertRtf(Pane::All, "all results");
    w.window().insertRtf(Pane::Page, "page");
    w.window().addNode({std::nullopt, "k1", "Work", "closed", std::string("open")});
    return w;
  }

  static std::vector<QWidget*> engineBoxes(const FrmMain& w) {
    return {w.chk_yahoo, w.chk_lycos, w.chk_infoseek, w.chk_excite, w.chk_altavista};
  }

  static void expectEverythingCleared(const FrmMain& w) {
    for (QLineEdit* box : w.searchText) EXPECT_EQ(box->text().toStdString(), "");
    EXPECT_EQ(w.listCategory->count(), 0);
    EXPECT_EQ(w.allWebResult->toPlainText().toStdString(), "");
    EXPECT_EQ(w.dispResult->toPlainText().toStdString(), "");
    EXPECT_EQ(w.outlineFile->topLevelItemCount(), 0);
  }
};

// Each switch clears the boxes, lists, panes and tree (through the window, so
// a new search can use the keys again) and loads the mode's own lists.
TEST_F(ModesTest, WebEnginesAndBackToMyWebSitesSwitchTheFramesClearAndLoadTheirLists) {
  FrmMain& w = openWithResults();
  ASSERT_EQ(itemsOf(w.listCategory), (std::vector<std::string>{"http://w1/", "http://w2/"}));
  w.chk_lycos->setChecked(true);

  w.buttonEngine->click();
  EXPECT_EQ(w.mineMode, 0);
  EXPECT_EQ(w.engineMode, 1);
  EXPECT_FALSE(w.frameMine->isEnabled());
  for (QWidget* control :
       std::initializer_list<QWidget*>{w.searchCat, w.listCategory, w.buttonIndex})
    EXPECT_FALSE(control->isEnabledTo(w.frameMine));
  EXPECT_TRUE(w.frameEngine->isEnabled());
  for (QWidget* box : engineBoxes(w)) EXPECT_TRUE(box->isEnabled());
  expectEverythingCleared(w);
  EXPECT_EQ(w.searchCat->count(), 0);
  EXPECT_EQ(w.searchCat->currentText().toStdString(), "");
  EXPECT_EQ(itemsOf(w.wordList), (std::vector<std::string>{"news", "weather"}));
  EXPECT_TRUE(w.chk_lycos->isChecked());
  EXPECT_EQ(w.window().node("k1"), nullptr);

  w.searchText[0]->setText("engine text");
  w.window().insertRtf(Pane::All, "hits");
  w.window().addNode({std::nullopt, "k1", "Work", "closed", std::string("open")});
  w.buttonMine->click();
  EXPECT_EQ(w.mineMode, 1);
  EXPECT_EQ(w.engineMode, 0);
  EXPECT_TRUE(w.frameMine->isEnabled() && w.searchCat->isEnabled() && w.buttonIndex->isEnabled());
  EXPECT_FALSE(w.frameEngine->isEnabled());
  for (QWidget* box : engineBoxes(w)) EXPECT_FALSE(box->isEnabledTo(w.frameEngine));
  expectEverythingCleared(w);
  EXPECT_EQ(w.wordList->count(), 0);
  EXPECT_EQ(namesIn(w.searchCat), (std::vector<std::string>{"Work", "Home"}));
  EXPECT_EQ(w.searchCat->currentIndex(), -1);
  w.window().addNode({std::nullopt, "k1", "Work", "closed", std::string("open")});
  EXPECT_EQ(w.outlineFile->topLevelItemCount(), 1);
}

// "&Main" leaves the index button off in the engine mode, which is saved at exit.
TEST_F(ModesTest, MainBringsBackTheSetUpViewAndMarksTheResultsForClearing) {
  FrmMain& w = openMainWindow();
  w.buttonEngine->click();
  // The results view as a search leaves it.
  w.frameSearch->hide();
  const std::vector<QPushButton*> setUp{w.searchNow, w.viewPrev, w.buttonMine, w.buttonEngine,
                                        w.buttonTimer};
  const std::vector<QPushButton*> results{w.searchConfig, w.searchStop, w.searchSave,
                                          w.searchPrint};
  for (QPushButton* b : setUp) b->setEnabled(false);
  for (QPushButton* b : results) b->setEnabled(true);

  w.searchConfig->click();
  EXPECT_TRUE(w.frameSearch->isVisibleTo(&w));
  for (QPushButton* b : setUp) EXPECT_TRUE(b->isEnabled()) << b->text().toStdString();
  for (QPushButton* b : results) EXPECT_FALSE(b->isEnabled()) << b->text().toStdString();
  EXPECT_FALSE(w.buttonIndex->isEnabledTo(w.frameMine));
  EXPECT_EQ(w.state.resetResults, 1);
  w.close();
  const Settings saved = decodeSettings(readFile("qxconfig.qxf"));
  EXPECT_EQ(saved.mineMode, 0);
  EXPECT_EQ(saved.engineMode, 1);
}

}  // namespace
}  // namespace quexa::testing
