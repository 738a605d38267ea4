#include "data/index_editor.h"

#include <gtest/gtest.h>

#include "app/transcript.h"
#include "support/scratch_dir.h"

namespace quexa {
namespace {

using quexa::testing::ScratchDir;
using Lines = std::vector<std::string>;

struct Shown {
  std::string text, title;
  MessageIcon icon;
  MessageButtons buttons;
  bool operator==(const Shown&) const = default;
};

// Records every message with its icon and buttons; answers from the queue.
class EditorWindow : public TranscriptWindow {
 public:
  std::vector<Shown> shown;
  int beeps = 0;
  MessageAnswer messageBox(std::string_view text, std::string_view title, MessageIcon icon,
                           MessageButtons buttons) override {
    shown.push_back({std::string(text), std::string(title), icon, buttons});
    return TranscriptWindow::messageBox(text, title, icon, buttons);
  }
  void beep() override { ++beeps; }
};

const char* kTwoIndexes = "[Work]\r\nhttp://w2\r\nhttp://w1\r\n[Home]\r\nhttp://h\r\n";

class IndexEditorTest : public ::testing::Test {
 protected:
  ScratchDir dir;
  EditorWindow window;
  MainWindowLists main;
  IndexEditor editor{dir.path(), window, main};

  void open(const std::string& words = "") {
    dir.write(kIndexFileName, kTwoIndexes);
    dir.write(kWordFileName, words);
    main.searchCat = {"Work", "Home"};
    main.searchCatText = "Old";
    main.listCategory = {"http://old"};
    main.wordList.add("kept");
    main.searchText = {"s0", "", "", ""};
    editor.formLoad();
  }
  void add(const std::string& url) {
    editor.textURL = url;
    editor.dirAddClick();
  }
  void ok(std::initializer_list<MessageAnswer> answers) {
    window.messageAnswers.assign(answers.begin(), answers.end());
    editor.dirOkClick();
  }
  // Nothing saved: the files and the main window are as they were.
  void expectUntouched() {
    EXPECT_EQ(dir.read(kIndexFileName), kTwoIndexes);
    EXPECT_EQ(main.searchCat, (Lines{"Work", "Home"}));
    EXPECT_EQ(main.searchCatText, "Old");
    EXPECT_EQ(main.wordList.entries(), Lines{"kept"});
  }
};

// Opening, picking and "&New" are driven through the window's own test; here
// the placeholder's addresses, which join the list, and the selection.
TEST_F(IndexEditorTest, ThePlaceholdersAddressesJoinTheListAndTheSelectionStays) {
  open();
  dir.write(kIndexFileName,
            std::string(kTwoIndexes) + "[Unknown Index]\r\nhttp://z\r\nhttp://w2\r\nhttp://a\r\n");
  editor.dirCatClick("Work");
  EXPECT_EQ(editor.dirList, (Lines{"http://w1", "http://w2"}));
  editor.dirListClick(1);
  editor.dirCatClick("Unknown Index");
  EXPECT_EQ(editor.dirList, (Lines{"http://a", "http://w1", "http://w2", "http://w2", "http://z"}));
  EXPECT_EQ(editor.dirListSelected, 2);
}

TEST_F(IndexEditorTest, AddUrlRefusesWhatDoesNotStartWithHttp) {
  open();
  for (const char* bad : {"", "http://", "HTTP://", "see http://x", "http://a\r\n[B]"}) add(bad);
  EXPECT_EQ(window.beeps, 5);
  EXPECT_EQ(window.shown,
            std::vector<Shown>(5, {"You must enter a valid URL starting with http://",
                                   "Invalid URL", MessageIcon::Critical, MessageButtons::Ok}));
  window.shown.clear();
  add("HTTP://Example.COM");
  add("http://example.com");
  add("http://example.com");
  EXPECT_EQ(editor.dirList, (Lines{"HTTP://Example.COM", "http://example.com"}));
  EXPECT_EQ(editor.textURL, "http://");
  EXPECT_EQ(window.shown, (std::vector<Shown>{{"This URL is already in the current category.",
                                               "Duplicated Directory", MessageIcon::Critical,
                                               MessageButtons::Ok}}));
  // https only with the standard link rules, and the refusal names both.
  add("https://secure.example.com");
  EXPECT_EQ(editor.dirList.size(), 2u);
  editor.acceptHttps = true;
  window.shown.clear();
  for (const char* bad : {"https://", "ftp://x"}) add(bad);
  add("HTTPS://Secure.example.com");
  EXPECT_EQ(editor.dirList.size(), 3u);
  EXPECT_EQ(window.shown,
            std::vector<Shown>(2, {"You must enter a valid URL starting with http:// or https://",
                                   "Invalid URL", MessageIcon::Critical, MessageButtons::Ok}));
}

TEST_F(IndexEditorTest, RemovingTheLastAddressDeletesTheIndexAtOnce) {
  open("[Home]\r\nwords\r\n[Work]\r\nw\r\n");
  editor.dirCatClick("Home");
  editor.dirListClick(0);
  EXPECT_TRUE(editor.dirDelEnabled);
  editor.dirDelClick();
  EXPECT_FALSE(editor.dirDelEnabled);
  EXPECT_EQ(editor.dirCatText, "Unknown Index");
  EXPECT_EQ(editor.dirCat, Lines{"Work"});
  EXPECT_EQ(dir.read(kIndexFileName), "[Work]\r\nhttp://w2\r\nhttp://w1\r\n");
  EXPECT_EQ(dir.read(kWordFileName), "[Work]\r\nw\r\n");
  EXPECT_TRUE(window.shown.empty()) << "no question is asked";
  editor.dirCancelClick();
  EXPECT_TRUE(editor.closed);
  EXPECT_EQ(main.searchCat, (Lines{"Work", "Home"})) << "the main window is not touched";
}

TEST_F(IndexEditorTest, OkWithoutNameRefusesAddressesOrRefillsTheMainWindow) {
  open("[]\r\nbare\r\n");
  add("http://x");
  editor.dirCatText = "   ";
  ok({});
  EXPECT_EQ(window.shown, (std::vector<Shown>{{"You must specify an index name!", "Save Index",
                                               MessageIcon::Critical, MessageButtons::Ok}}));
  EXPECT_FALSE(editor.closed);
  expectUntouched();

  editor.dirNewClick();
  editor.dirCatText = " ";  // the empty name: its texts are those under []
  ok({});
  EXPECT_TRUE(editor.closed);
  EXPECT_EQ(main.searchCat, (Lines{"Home", "Work"})) << "the editor's sorted names";
  EXPECT_EQ(main.searchCatText, "");
  EXPECT_TRUE(main.listCategory.empty());
  EXPECT_EQ(main.searchText, (std::array<std::string, 4>{}));
  EXPECT_EQ(main.wordList.entries(), Lines{"bare"});
  EXPECT_EQ(dir.read(kIndexFileName), kTwoIndexes);
}

// The window's own test checks the question, the file, leading blanks and
// the main window after a save; here trailing blanks and the redrawn frame.
TEST_F(IndexEditorTest, SavingANewIndexKeepsTrailingBlanksAndRedrawsTheFrame) {
  open();
  editor.dirCatText = "Trail ";
  add("http://t");
  ok({MessageAnswer::Yes});
  EXPECT_EQ(dir.read(kIndexFileName), std::string(kTwoIndexes) + "[Trail ]\r\nhttp://t\r\n");
  EXPECT_TRUE(main.frameMineRedrawn);
}

TEST_F(IndexEditorTest, NothingToSaveAsksAndLeavesFilesAndMainWindowAlone) {
  open("[Work]\r\nw\r\n");
  editor.dirCatText = "Fresh";
  ok({MessageAnswer::No});
  EXPECT_FALSE(editor.closed);
  EXPECT_EQ(window.shown,
            (std::vector<Shown>{{"There is nothing to save to Fresh. Continue?", "Wrong Action",
                                 MessageIcon::Exclamation, MessageButtons::YesNo}}));
  ok({MessageAnswer::Yes});
  EXPECT_TRUE(editor.closed);

  // An existing name typed after "&New": the overwrite is confirmed first.
  editor.formLoad();
  editor.dirCatText = "Work";
  ok({MessageAnswer::Yes, MessageAnswer::Yes});
  EXPECT_TRUE(editor.closed);
  EXPECT_EQ(window.shown.back().title, "Wrong Action");
  EXPECT_EQ(dir.read(kWordFileName), "[Work]\r\nw\r\n");
  // A later save of the main list must not overwrite Old's texts with an empty list.
  expectUntouched();
}

}  // namespace
}  // namespace quexa
