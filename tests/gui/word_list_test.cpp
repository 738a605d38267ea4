// The search-text boxes, the word list with its buttons, and the index choice.
#include "gui_fixture.h"

namespace quexa::testing {
namespace {

class WordListTest : public GuiTest {
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
};

TEST_F(WordListTest, ChoosingAnIndexListsItsAddressesAndTextsAndEmptiesTheBoxes) {
  FrmMain& w = openWithIndex("[Work]\r\nhttp://a/\r\n\r\n\r\n[Home]\r\nhttp://b/\r\n",
                             "[Work]\r\nzulu\r\nWork\r\nalpha\r\n[Home]\r\nhome\r\n", "");
  setBoxes(w, {"x", "", "", ""});
  w.searchCat->setCurrentIndex(0);
  w.searchCat_Click();
  EXPECT_EQ(itemsOf(w.listCategory), (std::vector<std::string>{"http://a/"}));
  // The index's own name is never listed as one of its texts.
  EXPECT_EQ(itemsOf(w.wordList), (std::vector<std::string>{"alpha", "zulu"}));
  EXPECT_EQ(w.searchText[0]->text().toStdString(), "");
}

TEST_F(WordListTest, AddIsOfferedWhileABoxHoldsTextAndSavesNewTextsSortedUnderTheIndex) {
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

TEST_F(WordListTest, RemoveRewritesTheSectionAndSwitchesOffWithoutASelection) {
  FrmMain& w = openWithIndex("[A]\r\n[B]\r\n", "[A]\r\nx\r\n[B]\r\ny\r\n", "A");
  EXPECT_FALSE(w.searchRemove->isEnabled());
  select(w, "x");
  EXPECT_TRUE(w.searchRemove->isEnabled());
  EXPECT_TRUE(w.searchCopy->isEnabled());
  w.searchRemove->click();
  EXPECT_EQ(w.wordList->count(), 0);
  EXPECT_FALSE(w.searchRemove->isEnabled());
  EXPECT_FALSE(w.searchCopy->isEnabled());
  EXPECT_EQ(readFile("qxword.ini"), "[A]\r\n[B]\r\ny\r\n");
}

TEST_F(WordListTest, RemoveAllEmptiesTheEngineList) {
  Settings saved;
  saved.mineMode = 0;
  saved.engineMode = 1;
  writeFile("qxconfig.qxf", encodeSettings(saved));
  writeFile("qxwordeg.ini", "one\r\ntwo\r\n");
  FrmMain& w = openMainWindow();
  select(w, "two");
  w.searchRemoveAll->click();
  EXPECT_EQ(w.wordList->count(), 0);
  EXPECT_FALSE(w.searchRemove->isEnabled());
  EXPECT_FALSE(w.searchCopy->isEnabled());
  EXPECT_EQ(readFile("qxwordeg.ini"), "");
}

TEST_F(WordListTest, CopyFillsTheFirstEmptyBoxOnceAndAsksToEmptyOneWhenAllAreFilled) {
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

TEST_F(WordListTest, LeavingABoxTrimsEveryBoxAndReturnsToTheEmptiedSingleLetter) {
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

}  // namespace
}  // namespace quexa::testing
