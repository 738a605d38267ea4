// frmDir, the index editor, driven through its controls over the real main
// window: its captions, what it writes to the index files and what the main
// window shows afterwards. The editor's rules and messages are those of the
// data layer's index editor, checked there (removing an index's last address
// and "&OK" with nothing to save among them).
#include <QTest>

#include "frm_dir.h"
#include "gui_fixture.h"

namespace quexa::testing {
namespace {

class IndexEditorTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    writeFile(
        "qxindex.ini",
        "[Work]\r\nhttp://w2/\r\nhttp://w1/\r\n[Home]\r\nhttp://h/\r\n[Zoo]\r\nhttp://z/\r\n");
    writeFile("qxword.ini", "[Work]\r\nreport\r\n[Home]\r\ngarden\r\n");
  }

  static void add(FrmDir& dir, const std::string& url) {
    dir.textURL->setText(QString::fromStdString(url));
    dir.dirAdd->click();
  }

  static void pick(FrmDir& dir, const std::string& name) {
    const int index = dir.dirCat->findText(QString::fromStdString(name));
    ASSERT_GE(index, 0) << name;
    dir.dirCat->setCurrentIndex(index);
    dir.dirCat_Click(index);
  }

  // Typed over whatever the name box shows, key by key.
  static void name(FrmDir& dir, const std::string& text) {
    QLineEdit* box = dir.dirCat->lineEdit();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, QString::fromStdString(text));
  }

  static void select(FrmDir& dir, const std::string& url) {
    const auto found = dir.dirList->findItems(QString::fromStdString(url), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << url;
    dir.dirList->setCurrentItem(found.front());
  }
};

TEST_F(IndexEditorTest, OpensWithTheSortedNamesAndItsControlsReady) {
  FrmMain& w = openMainWindow();
  FrmDir dir(w);
  EXPECT_EQ(dir.windowTitle().toStdString(), "Quexa - Change Index");
  EXPECT_EQ(namesIn(dir.dirCat), (std::vector<std::string>{"Home", "Work", "Zoo"}));
  EXPECT_EQ(dir.dirCat->currentText().toStdString(), "Unknown Index");
  EXPECT_TRUE(dir.dirCat->isEditable());
  EXPECT_EQ(dir.dirList->count(), 0);
  EXPECT_EQ(dir.textURL->text().toStdString(), "http://");
  EXPECT_FALSE(dir.dirDel->isEnabled());
  EXPECT_FALSE(dir.dirNew->isEnabled());

  EXPECT_EQ(captionsOf({dir.dirAdd, dir.dirDel, dir.dirNew, dir.dirOK, dir.dirCancel}),
            (std::vector<std::string>{"&Add|Add URL", "&Remove |Delete selected URL",
                                      "&New|Create a new index.",
                                      "&OK|Accept changes to the existing index",
                                      "&Cancel|Undo any changes to the existing index"}));
  EXPECT_EQ(dir.Label2->text().toStdString(), "Enter URL:");
  EXPECT_EQ(dir.dirCat->toolTip().toStdString(), "Enter the name for the new index");
  EXPECT_EQ(dir.dirList->toolTip().toStdString(), "URL list");
  EXPECT_EQ(dir.textURL->toolTip().toStdString(), "Enter your URL");

  // "&New" is offered once an index is picked and starts over.
  pick(dir, "Zoo");
  EXPECT_TRUE(dir.dirNew->isEnabled());
  dir.dirNew->click();
  EXPECT_EQ(dir.dirCat->currentText().toStdString(), "Unknown Index");
  EXPECT_EQ(dir.dirList->count(), 0);
  EXPECT_FALSE(dir.dirNew->isEnabled());
}

// A typed name is taken as typed, never completed to another; its leading
// blanks go.
TEST_F(IndexEditorTest, ANewIndexIsAppendedUnderItsTypedNameAndBecomesTheMainWindowsChoice) {
  writeFile("qxword.ini", "[Work]\r\nreport\r\n[Wor]\r\nflights\r\n");
  FrmMain& w = openMainWindow();
  FrmDir dir(w);
  dir.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dir));
  dir.dirCat->setFocus();
  for (const char* typed : {"Wor", "wor", "zo"}) {
    name(dir, typed);
    EXPECT_EQ(dir.dirCat->currentText().toStdString(), typed);
  }
  name(dir, "  Wor");
  add(dir, "http://b/");
  add(dir, "http://a/");
  answers = {MessageAnswer::No};
  dir.dirOK->click();
  EXPECT_EQ(messages,
            (std::vector<ShownMessage>{{"Are you sure to save URLs to Wor?", "Save Directories",
                                        MessageIcon::Exclamation, MessageButtons::YesNo}}));
  EXPECT_FALSE(dir.editor().closed);
  const std::string unchanged = readFile("qxindex.ini");

  dir.dirOK->click();  // Yes
  EXPECT_EQ(readFile("qxindex.ini"), unchanged + "[Wor]\r\nhttp://a/\r\nhttp://b/\r\n");
  EXPECT_EQ(dir.result(), QDialog::Accepted);
  EXPECT_EQ(namesIn(w.searchCat), (std::vector<std::string>{"Work", "Home", "Zoo", "Wor"}));
  EXPECT_EQ(w.searchCat->currentText().toStdString(), "Wor");
  EXPECT_EQ(itemsOf(w.listCategory), (std::vector<std::string>{"http://a/", "http://b/"}));
  EXPECT_EQ(itemsOf(w.wordList), (std::vector<std::string>{"flights"}));
}

// Removing one of several addresses keeps the index; nothing is written
// before "&OK".
TEST_F(IndexEditorTest, PickingListsTheAddressesAndOverwritingKeepsTheSectionInPlace) {
  FrmMain& w = openMainWindow();
  FrmDir dir(w);
  pick(dir, "Work");
  EXPECT_EQ(itemsOf(dir.dirList), (std::vector<std::string>{"http://w1/", "http://w2/"}));
  select(dir, "http://w2/");
  EXPECT_TRUE(dir.dirDel->isEnabled());
  dir.dirDel->click();
  EXPECT_EQ(itemsOf(dir.dirList), (std::vector<std::string>{"http://w1/"}));
  EXPECT_FALSE(dir.dirDel->isEnabled());
  EXPECT_NE(readFile("qxindex.ini").find("http://w2/"), std::string::npos);

  add(dir, "http://w3/");
  dir.dirOK->click();  // Yes to the overwrite
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].title, "Overwrite URLs");
  EXPECT_EQ(readFile("qxindex.ini"),
            "[Work]\r\nhttp://w1/\r\nhttp://w3/\r\n[Home]\r\nhttp://h/\r\n[Zoo]\r\nhttp://z/\r\n");
  EXPECT_EQ(dir.result(), QDialog::Accepted);
  EXPECT_EQ(namesIn(w.searchCat), (std::vector<std::string>{"Home", "Zoo", "Work"}));
  EXPECT_EQ(w.searchCat->currentIndex(), 2);
  EXPECT_EQ(itemsOf(w.listCategory), (std::vector<std::string>{"http://w1/", "http://w3/"}));
  EXPECT_EQ(itemsOf(w.wordList), (std::vector<std::string>{"report"}));
}

TEST_F(IndexEditorTest, TheIndexButtonOpensTheEditorModallyAndAfresh) {
  FrmMain& w = openMainWindow();
  std::vector<std::string> seen;
  auto driveEditor = [&](bool addOne) {
    QTimer::singleShot(0, [&, addOne] {
      auto* dir = qobject_cast<FrmDir*>(QApplication::activeModalWidget());
      if (dir == nullptr) return;
      seen.push_back(dir->windowTitle().toStdString() + " " +
                     std::to_string(dir->dirList->count()));
      if (addOne) add(*dir, "http://left-behind/");
      dir->dirCancel->click();
    });
  };
  driveEditor(true);
  w.buttonIndex->click();
  driveEditor(false);
  w.buttonIndex->click();
  EXPECT_EQ(seen, (std::vector<std::string>{"Quexa - Change Index 0", "Quexa - Change Index 0"}));
  EXPECT_TRUE(w.findChildren<FrmDir*>().isEmpty());
}

}  // namespace
}  // namespace quexa::testing
