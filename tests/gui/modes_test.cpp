// The set-up view: the search-text boxes, the word list with its buttons and
// the index choice; switching between "My Web Sites" and "Web Engines", and
// "&Main" back to the set-up view.
#include "app/settings.h"
#include "gui_fixture.h"

namespace quexa::testing {
namespace {

class SetUpViewTest : public GuiTest {
 protected:
  FrmMain& openWithIndex(const std::string& indexFile, const std::string& wordFile,
                         const QString& chosen) {
    writeFile("qxindex.ini", indexFile);
    writeFile("qxword.ini", wordFile);
    FrmMain& w = openMainWindow();
    w.searchCat->setCurrentIndex(w.searchCat->findText(chosen));
    w.searchCat_Click();
    return w;
  }

  void setBoxes(FrmMain& w, const std::array<const char*, 4>& texts) {
    for (size_t i = 0; i < 4; ++i) w.searchText[i]->setText(texts[i]);
  }

  void select(FrmMain& w, const char* entry) {
    auto found = w.wordList->findItems(entry, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    w.wordList->setCurrentItem(found[0]);
  }

  // Remove and Copy go off with the selection.
  static void expectWordListEmptied(const FrmMain& w) {
    EXPECT_EQ(w.wordList->count(), 0);
    EXPECT_FALSE(w.searchRemove->isEnabled() || w.searchCopy->isEnabled());
  }

  static std::vector<QWidget*> engineBoxes(const FrmMain& w) {
    return {w.chk_yahoo, w.chk_lycos, w.chk_infoseek, w.chk_excite, w.chk_altavista};
  }

  static void expectEverythingCleared(const FrmMain& w) {
    for (QLineEdit* box : w.searchText) EXPECT_EQ(box->text().toStdString(), "");
    EXPECT_EQ(w.listCategory->count(), 0);
    EXPECT_EQ(textOf(w.allWebResult), "");
    EXPECT_EQ(textOf(w.dispResult), "");
    EXPECT_EQ(w.outlineFile->topLevelItemCount(), 0);
  }
};

TEST_F(SetUpViewTest, AddIsOfferedWhileABoxHoldsTextAndSavesNewTextsSortedUnderTheIndex) {
  FrmMain& w = openWithIndex("[News]\r\nhttp://n/\r\n", "", "News");
  EXPECT_FALSE(w.searchAdd->isEnabled());
  w.searchText[3]->setText("x");
  EXPECT_TRUE(w.searchAdd->isEnabled());
  w.searchText[3]->clear();
  EXPECT_FALSE(w.searchAdd->isEnabled());

  setBoxes(w, {"beta", "", "alpha", "beta"});
  EXPECT_TRUE(w.searchAdd->isEnabled());
  w.searchAdd->click();
  EXPECT_EQ(itemsOf(w.wordList), (std::vector<std::string>{"alpha", "beta"}));
  EXPECT_EQ(readFile("qxword.ini"), "[News]\r\nalpha\r\nbeta\r\n");

  w.searchAdd->click();  // nothing new: the file keeps one section
  EXPECT_EQ(readFile("qxword.ini"), "[News]\r\nalpha\r\nbeta\r\n");
}

TEST_F(SetUpViewTest, RemoveRewritesTheSectionAndSwitchesOffWithoutASelection) {
  FrmMain& w = openWithIndex("[A]\r\n[B]\r\n", "[A]\r\nx\r\n[B]\r\ny\r\n", "A");
  EXPECT_FALSE(w.searchRemove->isEnabled());
  select(w, "x");
  EXPECT_TRUE(w.searchRemove->isEnabled() && w.searchCopy->isEnabled());
  w.searchRemove->click();
  expectWordListEmptied(w);
  EXPECT_EQ(readFile("qxword.ini"), "[A]\r\n[B]\r\ny\r\n");
}

TEST_F(SetUpViewTest, CopyFillsTheFirstEmptyBoxOnceAndAsksToEmptyOneWhenAllAreFilled) {
  FrmMain& w = openWithIndex("[A]\r\n", "[A]\r\nentry\r\n", "A");
  setBoxes(w, {"first", "", "third", ""});
  select(w, "entry");
  w.searchCopy->click();
  EXPECT_EQ(w.searchText[1]->text().toStdString(), "entry");
  w.searchCopy->click();  // already in a box
  EXPECT_EQ(w.searchText[3]->text().toStdString(), "");
  EXPECT_TRUE(messages.empty());

  w.searchText[3]->setText("d");
  w.searchCopy->click();
  EXPECT_EQ(messages,
            (std::vector<ShownMessage>{{"Please delete the text in the field you want to copy to!",
                                        "Copy Searching Text", MessageIcon::Exclamation}}));
}

TEST_F(SetUpViewTest, LeavingABoxTrimsEveryBoxAndReturnsToTheEmptiedSingleLetter) {
  FrmMain& w = openMainWindow();
  w.show();
  w.activateWindow();
  w.searchText[1]->setFocus();
  QCoreApplication::processEvents();
  setBoxes(w, {" 7 ", "  two words ", " q ", ""});
  w.searchText[3]->setFocus();
  QCoreApplication::processEvents();
  EXPECT_EQ(w.searchTexts(), (std::array<std::string, 4>{"7", "two words", "", ""}));
  EXPECT_EQ(messages,
            (std::vector<ShownMessage>{{"Search of single letter is invalid!",
                                        "Invalid Single Letter", MessageIcon::Critical}}));
  EXPECT_TRUE(w.searchText[2]->hasFocus());
}

// Each switch clears the boxes, lists, panes and tree (through the window, so
// a new search can use the keys again) and loads the mode's own lists; the
// engine mode's list is emptied whole by "Remove All"; then "&Main".
TEST_F(SetUpViewTest, AnIndexChosenThenWebEnginesAndBackSwitchTheFramesClearAndLoadTheLists) {
  writeFile("qxwordeg.ini", "weather\r\nnews\r\n");
  FrmMain& w =
      openWithIndex("[Work]\r\nhttp://w1/\r\nhttp://w2/\r\n\r\n\r\n[Home]\r\nhttp://h/\r\n",
                    "[Work]\r\nzulu\r\nWork\r\nalpha\r\n[Home]\r\nhome\r\n", "");
  // Choosing an index lists its addresses and texts (never its own name)
  // and empties the boxes.
  setBoxes(w, {"x", "", "", ""});
  w.searchCat->setCurrentIndex(0);
  w.searchCat_Click();
  ASSERT_EQ(itemsOf(w.listCategory), (std::vector<std::string>{"http://w1/", "http://w2/"}));
  EXPECT_EQ(itemsOf(w.wordList), (std::vector<std::string>{"alpha", "zulu"}));
  EXPECT_EQ(w.searchText[0]->text().toStdString(), "");
  const auto fill = [&] {
    for (QLineEdit* box : w.searchText) box->setText("text");
    w.window().insertRtf(Pane::All, "all results");
    w.window().insertRtf(Pane::Page, "page");
    w.window().addNode({std::nullopt, "k1", "Work", "closed", std::string("open")});
  };
  fill();
  w.chk_lycos->setChecked(true);

  w.buttonEngine->click();
  EXPECT_EQ((std::vector<int>{w.mineMode, w.engineMode}), (std::vector<int>{0, 1}));
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

  fill();
  w.buttonMine->click();
  EXPECT_EQ((std::vector<int>{w.mineMode, w.engineMode}), (std::vector<int>{1, 0}));
  EXPECT_TRUE(w.frameMine->isEnabled() && w.searchCat->isEnabled() && w.buttonIndex->isEnabled());
  EXPECT_FALSE(w.frameEngine->isEnabled());
  for (QWidget* box : engineBoxes(w)) EXPECT_FALSE(box->isEnabledTo(w.frameEngine));
  expectEverythingCleared(w);
  EXPECT_EQ(w.wordList->count(), 0);
  EXPECT_EQ(namesIn(w.searchCat), (std::vector<std::string>{"Work", "Home"}));
  EXPECT_EQ(w.searchCat->currentIndex(), -1);
  w.window().addNode({std::nullopt, "k1", "Work", "closed", std::string("open")});
  EXPECT_EQ(w.outlineFile->topLevelItemCount(), 1);

  w.buttonEngine->click();
  select(w, "weather");
  w.searchRemoveAll->click();
  expectWordListEmptied(w);
  EXPECT_EQ(readFile("qxwordeg.ini"), "");

  // "&Main" brings back the set-up view, marks the results for clearing and
  // leaves the index button off in the engine mode, which is saved at exit.
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
  EXPECT_EQ((std::vector<int>{saved.mineMode, saved.engineMode}), (std::vector<int>{0, 1}));
}

}  // namespace
}  // namespace quexa::testing
