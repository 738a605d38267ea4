// frmDir, the index editor, driven through its controls over the real main
// window: what it refuses, what it writes to the index files and what the
// main window shows afterwards.
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <deque>

#include "frm_dir.h"
#include "gui_fixture.h"

namespace quexa::testing {
namespace {

// The entries of a combo box, top to bottom.
std::vector<std::string> namesIn(const QComboBox* box) {
  std::vector<std::string> names;
  for (int i = 0; i < box->count(); ++i) names.push_back(box->itemText(i).toStdString());
  return names;
}

class IndexEditorTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    writeFile(
        "qxindex.ini",
        "[Work]\r\nhttp://w2/\r\nhttp://w1/\r\n[Home]\r\nhttp://h/\r\n[Zoo]\r\nhttp://z/\r\n");
    writeFile("qxword.ini", "[Work]\r\nreport\r\n[Home]\r\ngarden\r\n");
  }

  FrmMain& openMain() {
    FrmMain& w = openMainWindow();
    // Yes/No questions take the answers queued in `answers` (Yes when none).
    w.window().messageHook = [this](std::string_view text, std::string_view title, MessageIcon icon,
                                    MessageButtons buttons) {
      messages.push_back({std::string(text), std::string(title), icon, buttons});
      if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
      if (answers.empty()) return MessageAnswer::Yes;
      const MessageAnswer answer = answers.front();
      answers.pop_front();
      return answer;
    };
    return w;
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

  static void name(FrmDir& dir, const std::string& text) {
    dir.dirCat->setEditText(QString::fromStdString(text));
  }

  static void select(FrmDir& dir, const std::string& url) {
    const auto found = dir.dirList->findItems(QString::fromStdString(url), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << url;
    dir.dirList->setCurrentItem(found.front());
  }

  std::deque<MessageAnswer> answers;
};

TEST_F(IndexEditorTest, OpensWithTheSortedNamesAndItsControlsReady) {
  FrmMain& w = openMain();
  FrmDir dir(w);
  EXPECT_EQ(dir.windowTitle().toStdString(), "Quexa - Change Index");
  EXPECT_EQ(namesIn(dir.dirCat), (std::vector<std::string>{"Home", "Work", "Zoo"}));
  EXPECT_EQ(dir.dirCat->currentText().toStdString(), "Unknown Index");
  EXPECT_TRUE(dir.dirCat->isEditable());
  EXPECT_EQ(dir.dirList->count(), 0);
  EXPECT_EQ(dir.textURL->text().toStdString(), "http://");
  EXPECT_FALSE(dir.dirDel->isEnabled());
  EXPECT_FALSE(dir.dirNew->isEnabled());

  struct Caption {
    QWidget* control;
    const char* text;
    const char* tip;
  };
  for (const Caption& c :
       {Caption{dir.dirAdd, "&Add", "Add URL"},
        Caption{dir.dirDel, "&Remove ", "Delete selected URL"},
        Caption{dir.dirNew, "&New", "Create a new index."},
        Caption{dir.dirOK, "&OK", "Accept changes to the existing index"},
        Caption{dir.dirCancel, "&Cancel", "Undo any changes to the existing index"}}) {
    EXPECT_EQ(static_cast<QPushButton*>(c.control)->text().toStdString(), c.text);
    EXPECT_EQ(c.control->toolTip().toStdString(), c.tip);
  }
  EXPECT_EQ(dir.Label2->text().toStdString(), "Enter URL:");
  EXPECT_EQ(dir.dirCat->toolTip().toStdString(), "Enter the name for the new index");
  EXPECT_EQ(dir.dirList->toolTip().toStdString(), "URL list");
  EXPECT_EQ(dir.textURL->toolTip().toStdString(), "Enter your URL");
}

TEST_F(IndexEditorTest, AMissingIndexFileIsCreatedEmpty) {
  std::filesystem::remove(path("qxindex.ini"));
  FrmMain& w = openMain();
  std::filesystem::remove(path("qxindex.ini"));
  FrmDir dir(w);
  EXPECT_TRUE(exists("qxindex.ini"));
  EXPECT_EQ(dir.dirCat->count(), 0);
}

TEST_F(IndexEditorTest, RefusesAddressesThatDoNotStartWithHttpAndDuplicates) {
  FrmMain& w = openMain();
  FrmDir dir(w);
  for (const char* refused : {"", "http://", "HTTP://", "ftp://host/", "see http://host/"}) {
    messages.clear();
    beeps = 0;
    add(dir, refused);
    ASSERT_EQ(messages.size(), 1u) << refused;
    EXPECT_EQ(messages[0].text, "You must enter a valid URL starting with http://");
    EXPECT_EQ(messages[0].title, "Invalid URL");
    EXPECT_EQ(messages[0].icon, MessageIcon::Critical);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(dir.textURL->text().toStdString(), "http://");
  }
  EXPECT_EQ(dir.dirList->count(), 0);

  messages.clear();
  add(dir, "HTTP://Example.COM/");
  add(dir, "http://example.com/");
  EXPECT_TRUE(messages.empty());
  add(dir, "http://example.com/");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "This URL is already in the current category.");
  EXPECT_EQ(messages[0].title, "Duplicated Directory");
  EXPECT_EQ(messages[0].icon, MessageIcon::Critical);
  EXPECT_EQ(itemsOf(dir.dirList),
            (std::vector<std::string>{"HTTP://Example.COM/", "http://example.com/"}));
  EXPECT_EQ(dir.textURL->text().toStdString(), "http://");
}

TEST_F(IndexEditorTest, PickingAnIndexListsItsAddressesAndNewStartsOver) {
  FrmMain& w = openMain();
  FrmDir dir(w);
  pick(dir, "Work");
  EXPECT_EQ(itemsOf(dir.dirList), (std::vector<std::string>{"http://w1/", "http://w2/"}));
  EXPECT_TRUE(dir.dirNew->isEnabled());
  select(dir, "http://w2/");
  EXPECT_TRUE(dir.dirDel->isEnabled());

  dir.dirNew->click();
  EXPECT_EQ(dir.dirCat->currentText().toStdString(), "Unknown Index");
  EXPECT_EQ(dir.dirList->count(), 0);
  EXPECT_FALSE(dir.dirNew->isEnabled());
}

TEST_F(IndexEditorTest, SavingANamelessListIsRefusedAndTheEditorStaysOpen) {
  FrmMain& w = openMain();
  FrmDir dir(w);
  add(dir, "http://a/");
  for (const char* nameless : {"Unknown Index", "   "}) {
    messages.clear();
    name(dir, nameless);
    dir.dirOK->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "You must specify an index name!");
    EXPECT_EQ(messages[0].title, "Save Index");
    EXPECT_EQ(messages[0].icon, MessageIcon::Critical);
    EXPECT_FALSE(dir.editor().closed);
  }
  EXPECT_EQ(dir.result(), 0);
}

TEST_F(IndexEditorTest, ANewIndexIsAppendedAndBecomesTheMainWindowsChoice) {
  writeFile("qxword.ini", "[Work]\r\nreport\r\n[Travel]\r\nflights\r\n");
  FrmMain& w = openMain();
  FrmDir dir(w);
  name(dir, "  Travel");
  add(dir, "http://b/");
  add(dir, "http://a/");
  answers = {MessageAnswer::No};
  dir.dirOK->click();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, "Are you sure to save URLs to Travel?");
  EXPECT_EQ(messages[0].title, "Save Directories");
  EXPECT_EQ(messages[0].icon, MessageIcon::Exclamation);
  EXPECT_EQ(messages[0].buttons, MessageButtons::YesNo);
  EXPECT_FALSE(dir.editor().closed);
  const std::string unchanged = readFile("qxindex.ini");

  dir.dirOK->click();  // Yes
  EXPECT_EQ(readFile("qxindex.ini"), unchanged + "[Travel]\r\nhttp://a/\r\nhttp://b/\r\n");
  EXPECT_EQ(dir.result(), QDialog::Accepted);
  EXPECT_EQ(namesIn(w.searchCat), (std::vector<std::string>{"Work", "Home", "Zoo", "Travel"}));
  EXPECT_EQ(w.searchCat->currentText().toStdString(), "Travel");
  EXPECT_EQ(itemsOf(w.listCategory), (std::vector<std::string>{"http://a/", "http://b/"}));
  EXPECT_EQ(itemsOf(w.wordList), (std::vector<std::string>{"flights"}));
}

TEST_F(IndexEditorTest, TrailingBlanksOfANameStay) {
  FrmMain& w = openMain();
  FrmDir dir(w);
  name(dir, " Trip  ");
  add(dir, "http://t/");
  dir.dirOK->click();
  const std::string index = readFile("qxindex.ini");
  EXPECT_EQ(index.substr(index.size() - 21), "[Trip  ]\r\nhttp://t/\r\n");
  EXPECT_EQ(w.searchCat->currentText().toStdString(), "Trip  ");
}

TEST_F(IndexEditorTest, OverwritingKeepsTheSectionInPlaceAndMovesTheNameLast) {
  FrmMain& w = openMain();
  FrmDir dir(w);
  pick(dir, "Work");
  add(dir, "http://w3/");
  answers = {MessageAnswer::No};
  dir.dirOK->click();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, " Do you want to overwrite URLs in the existing Work?");
  EXPECT_EQ(messages[0].title, "Overwrite URLs");
  EXPECT_EQ(messages[0].icon, MessageIcon::Exclamation);
  EXPECT_FALSE(dir.editor().closed);
  EXPECT_EQ(namesIn(w.searchCat), (std::vector<std::string>{"Work", "Home", "Zoo"}));

  dir.dirOK->click();  // Yes
  EXPECT_EQ(readFile("qxindex.ini"),
            "[Work]\r\nhttp://w1/\r\nhttp://w2/\r\nhttp://w3/\r\n[Home]\r\nhttp://h/\r\n"
            "[Zoo]\r\nhttp://z/\r\n");
  EXPECT_EQ(dir.result(), QDialog::Accepted);
  EXPECT_EQ(namesIn(w.searchCat), (std::vector<std::string>{"Home", "Zoo", "Work"}));
  EXPECT_EQ(w.searchCat->currentIndex(), 2);
  EXPECT_EQ(itemsOf(w.listCategory),
            (std::vector<std::string>{"http://w1/", "http://w2/", "http://w3/"}));
  EXPECT_EQ(itemsOf(w.wordList), (std::vector<std::string>{"report"}));
}

TEST_F(IndexEditorTest, ANewNameWithoutAddressesAsksAndSavesNothing) {
  FrmMain& w = openMain();
  const std::string index = readFile("qxindex.ini");
  const std::string words = readFile("qxword.ini");
  {
    FrmDir dir(w);
    name(dir, "Empty");
    answers = {MessageAnswer::No};
    dir.dirOK->click();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "There is nothing to save to Empty. Continue?");
    EXPECT_EQ(messages[0].title, "Wrong Action");
    EXPECT_EQ(messages[0].buttons, MessageButtons::YesNo);
    EXPECT_FALSE(dir.editor().closed);
    dir.dirOK->click();  // Yes
    EXPECT_EQ(dir.result(), QDialog::Accepted);
  }
  EXPECT_EQ(readFile("qxindex.ini"), index);
  EXPECT_EQ(readFile("qxword.ini"), words);
  EXPECT_EQ(namesIn(w.searchCat), (std::vector<std::string>{"Work", "Home", "Zoo"}));
}

TEST_F(IndexEditorTest, RemovingTheLastAddressDeletesTheIndexAtOnce) {
  FrmMain& w = openMain();
  FrmDir dir(w);
  pick(dir, "Home");
  select(dir, "http://h/");
  dir.dirDel->click();
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(dir.dirList->count(), 0);
  EXPECT_FALSE(dir.dirDel->isEnabled());
  EXPECT_EQ(dir.dirCat->currentText().toStdString(), "Unknown Index");
  EXPECT_EQ(namesIn(dir.dirCat), (std::vector<std::string>{"Work", "Zoo"}));
  EXPECT_EQ(readFile("qxindex.ini"),
            "[Work]\r\nhttp://w2/\r\nhttp://w1/\r\n[Zoo]\r\nhttp://z/\r\n");
  EXPECT_EQ(readFile("qxword.ini"), "[Work]\r\nreport\r\n");

  dir.dirCancel->click();
  EXPECT_EQ(dir.result(), QDialog::Rejected);
  EXPECT_EQ(readFile("qxindex.ini"),
            "[Work]\r\nhttp://w2/\r\nhttp://w1/\r\n[Zoo]\r\nhttp://z/\r\n");
  // The main window lists the old name until it reads the names again.
  EXPECT_EQ(namesIn(w.searchCat), (std::vector<std::string>{"Work", "Home", "Zoo"}));
}

TEST_F(IndexEditorTest, RemovingOneOfSeveralAddressesKeepsTheIndex) {
  FrmMain& w = openMain();
  FrmDir dir(w);
  pick(dir, "Work");
  select(dir, "http://w1/");
  dir.dirDel->click();
  EXPECT_EQ(itemsOf(dir.dirList), (std::vector<std::string>{"http://w2/"}));
  EXPECT_FALSE(dir.dirDel->isEnabled());
  EXPECT_EQ(dir.dirCat->currentText().toStdString(), "Work");
  EXPECT_NE(readFile("qxindex.ini").find("http://w1/"), std::string::npos);
}

TEST_F(IndexEditorTest, OkWithNothingRefillsTheMainWindowFromTheSortedNames) {
  FrmMain& w = openMain();
  w.searchCat->setCurrentIndex(0);
  w.searchCat_Click();
  w.searchText[1]->setText("typed");
  FrmDir dir(w);
  dir.dirOK->click();
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(dir.result(), QDialog::Accepted);
  EXPECT_EQ(namesIn(w.searchCat), (std::vector<std::string>{"Home", "Work", "Zoo"}));
  EXPECT_EQ(w.searchCat->currentIndex(), -1);
  EXPECT_EQ(w.listCategory->count(), 0);
  EXPECT_EQ(w.wordList->count(), 0);
  for (QLineEdit* box : w.searchText) EXPECT_EQ(box->text().toStdString(), "");
}

TEST_F(IndexEditorTest, TheIndexButtonOpensTheEditorModallyAndAfresh) {
  FrmMain& w = openMain();
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
