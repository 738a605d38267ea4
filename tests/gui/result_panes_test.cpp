// The result panes as the searches fill them: every document shows the text
// and formatting its RTF asks for, documents append in order, and a click
// while a writer runs leaves the caret at the end. "&Print" and "Sa&ve" of
// the shown pane: the page loop on a PDF printer (pages and one-inch margins
// measured on the rendered pages), the RTF file read back, the dialogs'
// cancel and the error tables.
#include <sys/fsuid.h>
#include <unistd.h>
#include <QDir>
#include <QImage>
#include <QMouseEvent>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QScrollBar>
#include <QTextDocument>
#include <algorithm>
#include <cstdio>
#include <set>

#include "gui_fixture.h"
#include "result_pane.h"
#include "results/documents.h"
#include "results/rtf_reader.h"

namespace quexa::testing {
namespace {

using ResultPaneTest = GuiTest;

// The format of the character at the start of the first occurrence of text.
QTextCharFormat formatAt(const QTextEdit* pane, const QString& text) {
  const QTextCursor found = pane->document()->find(text);
  EXPECT_FALSE(found.isNull()) << text.toStdString();
  QTextCursor at(pane->document());
  at.setPosition(found.selectionStart() + 1);
  return at.charFormat();
}

void click(QTextEdit* pane, QEvent::Type type, QPoint where = {4, 4}) {
  QMouseEvent event(type, where, pane->viewport()->mapToGlobal(where), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(pane->viewport(), &event);
  QMouseEvent release(QEvent::MouseButtonRelease, where, pane->viewport()->mapToGlobal(where),
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(pane->viewport(), &release);
}

int endOf(const QTextEdit* pane) {
  return pane->document()->characterCount() - 1;
}

TEST_F(ResultPaneTest, EveryDocumentShowsItsTextColoursSizesAndWeightsAndKeepsThemForSaving) {
  FrmMain& w = openMainWindow();
  const std::string matched = "{\\b needle} in a {\\cf1 haystack}\\par second line";
  const std::vector<std::pair<Pane, std::string>> documents = {
      {Pane::All, siteEntry(1, "http://a.test/", matchingBody(matched))},
      {Pane::All, siteEntry(2, "http://b.test/x", serverErrorBody())},
      {Pane::All, engineHeading("Yahoo!", false)},
      {Pane::All, hitEntry(3, "Caf\xc3\xa9 {braces}", "http://c.test/", "  a description")},
      {Pane::All, engineHeading("Lycos", true)},
      {Pane::All, hitEntry(4, "T", "http://d.test/", shownDescription("\n"))},
      {Pane::Page, pageMatchView("http://a.test/", matchingBody(matched))},
      {Pane::Page, hitDetailView(hitDetail("Title", "http://c.test/", "  desc"))},
      {Pane::Page, hitDetailView(unsplitHitDetail("raw <b>hit</b> text"))},
      {Pane::Page, linkedPageEntry("http://e.test/", noMatchBody())},
      {Pane::Page, linkedPageEntry("http://e.test/2", linkedServerErrorBody())},
      {Pane::Page, linkedPageEntry("http://e.test/3", matchingBody(matched))},
  };
  RichText all;
  RichText page;
  for (const auto& [pane, rtf] : documents) {
    w.window().insertRtf(pane, rtf);
    appendRtf(pane == Pane::All ? all : page, rtf);
    SCOPED_TRACE(rtf);
    EXPECT_EQ(textOf(w.allWebResult), plainText(all));
    EXPECT_EQ(textOf(w.dispResult), plainText(page));
  }
  // What "Sa&ve" writes is read back from the pane with the same formats.
  EXPECT_EQ(paneContent(*w.allWebResult->document()), all);
  EXPECT_EQ(paneContent(*w.dispResult->document()), page);
  // The caret stands after the last document.
  EXPECT_EQ(w.allWebResult->textCursor().position(), endOf(w.allWebResult));
  EXPECT_EQ(w.dispResult->textCursor().position(), endOf(w.dispResult));
  // Text, colour, bold, size in points.
  struct Look {
    const char* text;
    QColor colour;
    bool bold;
    double points;
  };
  for (const Look& l : {Look{"http://a.test/", QColor(0, 0, 255), true, 9.0},
                        Look{"Server error occurred.", QColor(255, 0, 0), false, 9.0},
                        Look{" in a ", QColor(0, 0, 0), false, 9.0},
                        Look{"Yahoo!", QColor(255, 0, 0), true, 12.0}}) {
    const QTextCharFormat shown = formatAt(w.allWebResult, l.text);
    EXPECT_EQ(shown.foreground().color(), l.colour) << l.text;
    EXPECT_EQ(shown.fontWeight() == QFont::Bold, l.bold) << l.text;
    EXPECT_DOUBLE_EQ(shown.fontPointSize(), l.points) << l.text;
  }
}

TEST_F(ResultPaneTest, AClickWhileAWriterRunsBeepsAndKeepsTheCaretAtTheEnd) {
  FrmMain& w = openMainWindow();
  w.show();
  QtWindow& win = w.window();
  for (int n = 1; n <= 3; ++n)
    win.insertRtf(Pane::All,
                  siteEntry(n, "http://site" + std::to_string(n) + ".test/", matchingBody("line")));

  w.state.searchRunning = 1;
  click(w.allWebResult, QEvent::MouseButtonPress);
  click(w.allWebResult, QEvent::MouseButtonDblClick);
  EXPECT_EQ(beeps, 2);
  EXPECT_EQ(w.allWebResult->textCursor().position(), endOf(w.allWebResult));
  win.insertRtf(Pane::All, siteEntry(4, "http://site4.test/", matchingBody("line")));
  const std::string text = textOf(w.allWebResult);
  EXPECT_LT(text.find("3. http://site3"), text.find("4. http://site4"));

  // Idle, a click just places the caret.
  w.state.searchRunning = 0;
  click(w.allWebResult, QEvent::MouseButtonPress);
  EXPECT_EQ(beeps, 2);
  EXPECT_LT(w.allWebResult->textCursor().position(), 5);

  // The page pane follows its own writer flag, not searchRunning.
  w.dispTab->setCurrentIndex(1);
  win.insertRtf(Pane::Page, linkedPageEntry("http://e.test/", noMatchBody()));
  w.state.paneBusy = 1;
  click(w.dispResult, QEvent::MouseButtonPress);
  EXPECT_EQ(beeps, 3);
  EXPECT_EQ(w.dispResult->textCursor().position(), endOf(w.dispResult));
  w.state.paneBusy = 0;
  w.state.searchRunning = 1;
  click(w.dispResult, QEvent::MouseButtonPress);
  EXPECT_EQ(beeps, 3);
  EXPECT_LT(w.dispResult->textCursor().position(), 5);
}

// A long run scrolls the pane once a turn, not once an entry: when the window
// gets to its events the newest entry is in view.
TEST_F(ResultPaneTest, AfterATurnOfTheWindowThePaneShowsItsNewestEntry) {
  FrmMain& w = openMainWindow();
  w.show();
  for (int n = 1; n <= 200; ++n)
    w.window().insertRtf(Pane::All, siteEntry(n, "http://a.test/", matchingBody("line")));
  EXPECT_EQ(w.allWebResult->textCursor().position(), endOf(w.allWebResult));
  QCoreApplication::processEvents();
  EXPECT_GT(w.allWebResult->verticalScrollBar()->value(), 0);
  EXPECT_TRUE(w.allWebResult->viewport()->rect().contains(w.allWebResult->cursorRect()));
}

// Emptied or reset, a pane keeps its own font.
TEST_F(ResultPaneTest, TheNextDocumentGoesAtTheEndClearEmptiesAndResetLeavesOneBlank) {
  FrmMain& w = openMainWindow();
  QtWindow& win = w.window();
  EXPECT_TRUE(w.allWebResult->isReadOnly());
  win.insertRtf(Pane::All, "first");
  w.allWebResult->moveCursor(QTextCursor::Start);
  win.insertRtf(Pane::All, " second");
  w.allWebResult->selectAll();
  win.insertRtf(Pane::All, " third");
  EXPECT_EQ(textOf(w.allWebResult), "first second third");
  win.clearPane(Pane::All);
  EXPECT_EQ(textOf(w.allWebResult), "");
  EXPECT_EQ(w.allWebResult->currentFont().family().toStdString(), "Times New Roman");
  EXPECT_TRUE(w.allWebResult->currentFont().bold());

  win.insertRtf(Pane::Page, siteEntry(1, "http://a.test/", matchingBody("x")));
  win.resetPane(Pane::Page);
  EXPECT_EQ(textOf(w.dispResult), " ");
  EXPECT_EQ(formatAt(w.dispResult, " ").font().family().toStdString(), "Times New Roman");
  win.insertRtf(Pane::Page, pageMatchView("http://a.test/", matchingBody("x")));
  EXPECT_EQ(textOf(w.dispResult).substr(0, 16), " http://a.test/ ");
}

std::string run(const std::string& command) {
  std::string out;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  ::pclose(pipe);
  return out;
}

// A printed page: its paper and where ink lies on it, in points from the
// paper's top left corner.
struct PrintedPage {
  QSize paper;
  QRect ink;
};

// Every page rendered at 72 dots per inch (one dot a point) and measured:
// what a printer puts on paper, not what the file merely holds.
std::vector<PrintedPage> inkPerPage(const std::string& pdf, const std::string& prefix) {
  run("pdftoppm -r 72 -gray '" + pdf + "' '" + prefix + "' 2>/dev/null");
  const std::filesystem::path base(prefix);
  const QDir folder(QString::fromStdString(base.parent_path().string()));
  std::vector<PrintedPage> pages;
  for (const QString& file : folder.entryList(
           {QString::fromStdString(base.filename().string()) + "-*"}, QDir::Files, QDir::Name)) {
    const QImage image(folder.filePath(file));
    PrintedPage& page = pages.emplace_back(PrintedPage{image.size(), QRect()});
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (qGray(image.pixel(x, y)) < 160) page.ink |= QRect(x, y, 1, 1);
  }
  return pages;
}

class PrintSaveTest : public GuiTest {
 protected:
  FrmMain& openWithHooks() {
    FrmMain& w = openMainWindow();
    w.resultHooks.choosePrinter = [this](QPrinter& printer, bool selectionChosen) {
      ++printerDialogs;
      selectionAtDialog = selectionChosen;
      if (!printTo) return false;
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(QString::fromStdString(*printTo));
      printer.setPageSize(QPageSize(QPageSize::Letter));
      // An unprintable border of the "device", which the margins must absorb.
      printer.setPageMargins(QMarginsF(20, 30, 25, 35), QPageLayout::Point);
      return true;
    };
    w.resultHooks.chooseSaveFile = [this] {
      ++saveDialogs;
      return QString::fromStdString(saveTo.value_or(""));
    };
    w.window().errorHook = [this](std::string_view text) {
      errors.emplace_back(text);
      if (onError) return onError();
      return ErrorAnswer::Ignore;
    };
    return w;
  }

  void fillAllResults(FrmMain& w, int entries) {
    for (int n = 1; n <= entries; ++n)
      w.window().insertRtf(
          Pane::All,
          siteEntry(n, "http://site.test/page" + std::to_string(n) + ".html",
                    matchingBody("a line with the word needle number " + std::to_string(n))));
  }

  std::optional<std::string> printTo;
  std::optional<std::string> saveTo;
  int printerDialogs = 0;
  int saveDialogs = 0;
  bool selectionAtDialog = false;
  std::vector<std::string> errors;
  std::function<ErrorAnswer()> onError;
};

// The pages are measured by their ink: a page's clipped-off neighbour lines
// stay in the file as invisible text, which text extraction would report.
// A selection only decides how the dialog opens; the whole text is printed.
TEST_F(PrintSaveTest, ALongResultPrintsWholeOnSeveralPagesWithOneInchMargins) {
  FrmMain& w = openWithHooks();
  fillAllResults(w, 80);
  printTo = path("long.pdf");
  QTextCursor caret = w.allWebResult->textCursor();
  caret.setPosition(0);
  caret.setPosition(5, QTextCursor::KeepAnchor);
  w.allWebResult->setTextCursor(caret);
  w.searchPrint_Click();
  EXPECT_TRUE(selectionAtDialog);
  const std::vector<PrintedPage> pages = inkPerPage(*printTo, path("long"));
  EXPECT_GE(pages.size(), 3u);
  const int inch = 72;
  for (size_t p = 0; p < pages.size(); ++p) {
    SCOPED_TRACE("page " + std::to_string(p + 1));
    const QRect& ink = pages[p].ink;
    ASSERT_FALSE(ink.isNull());
    EXPECT_EQ(pages[p].paper, QSize(612, 792));
    // One inch from every edge of the paper, whatever border the device has.
    EXPECT_GE(ink.left(), inch - 1);
    EXPECT_LE(ink.left(), inch + 3);
    EXPECT_GE(ink.top(), inch - 1);
    EXPECT_LE(ink.right(), 612 - inch);
    EXPECT_LE(ink.bottom(), 792 - inch);
    // Every page but the last is filled down to near its lower margin.
    if (p + 1 < pages.size()) {
      EXPECT_GT(ink.bottom(), 792 - inch - 31);
    }
  }
  EXPECT_LE(pages[0].ink.top(), inch + 3);
  const std::string text = run("pdftotext '" + *printTo + "' - 2>/dev/null");
  EXPECT_NE(text.find("page1.html"), std::string::npos);
  EXPECT_NE(text.find("page80.html"), std::string::npos);

  // The shown tab decides the pane: a reset page pane prints one blank page.
  w.window().resetPane(Pane::Page);
  w.dispTab->setCurrentIndex(1);
  printTo = path("blank.pdf");
  w.searchPrint_Click();
  EXPECT_FALSE(selectionAtDialog);
  EXPECT_EQ(inkPerPage(*printTo, path("blank")).size(), 1u);
  EXPECT_EQ(run("pdftotext '" + *printTo + "' - 2>/dev/null").find("page1.html"),
            std::string::npos);
  EXPECT_TRUE(errors.empty());
}

// The saved file reads back exactly as the pane's text: blanks and letters
// beyond ASCII included (the writer's own tests check its RTF).
TEST_F(PrintSaveTest, CancelledDialogsDoNothingSavedFilesReadBackAsThePanesText) {
  FrmMain& w = openWithHooks();
  fillAllResults(w, 5);
  const auto files = [&] {
    return std::distance(std::filesystem::directory_iterator(dir()),
                         std::filesystem::directory_iterator());
  };
  const auto before = files();
  w.searchPrint_Click();
  w.searchSave_Click();
  EXPECT_EQ(printerDialogs, 1);
  EXPECT_EQ(saveDialogs, 1);
  EXPECT_EQ(files(), before);
  EXPECT_TRUE(messages.empty());

  w.window().insertRtf(Pane::All, siteEntry(6, "http://b.test/", serverErrorBody()));
  w.window().insertRtf(Pane::All,
                       hitEntry(7, "Caf\xc3\xa9 {x} \\ y", "http://c.test/", "  described"));
  saveTo = path("all.rtf");
  w.searchSave_Click();
  ASSERT_TRUE(exists("all.rtf"));
  EXPECT_EQ(readFile("all.rtf").rfind("{\\rtf", 0), 0u);
  EXPECT_EQ(plainText(readRtf(readFile("all.rtf"))), textOf(w.allWebResult));

  // "View Each Web Site" saves the page pane, first the single blank of a
  // reset, then over it an entry whose empty first line is in the file.
  w.dispTab->setCurrentIndex(1);
  saveTo = path("page.rtf");
  for (bool reset : {true, false}) {
    w.window().clearPane(Pane::Page);
    if (reset) w.window().resetPane(Pane::Page);
    if (!reset) w.window().insertRtf(Pane::Page, linkedPageEntry("http://e.test/", noMatchBody()));
    w.searchSave_Click();
    EXPECT_EQ(plainText(readRtf(readFile("page.rtf"))), textOf(w.dispResult));
  }
  EXPECT_EQ(textOf(w.dispResult).front(), '\n');
  EXPECT_TRUE(errors.empty());
}

TEST_F(PrintSaveTest, FailuresGoThroughTheirTablesRetryRepeatsTheStepAndASaveTouchesOnlyItsFile) {
  FrmMain& w = openWithHooks();
  fillAllResults(w, 2);

  // A missing directory: the save table's path message; Retry after the
  // directory appeared saves the file.
  saveTo = path("later/out.rtf");
  onError = [this] {
    std::filesystem::create_directories(path("later"));
    return ErrorAnswer::Retry;
  };
  w.searchSave_Click();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0],
            "Some directories in current index are invalid! Please rebuild index! ( 53)");
  EXPECT_TRUE(exists("later/out.rtf"));

  // A printer that cannot start its job: the print table's printer message,
  // and Ignore ends the command.
  errors.clear();
  onError = nullptr;
  printTo = path("missing/out.pdf");
  w.searchPrint_Click();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "Printer is not ready! ( 68)");
  EXPECT_FALSE(exists("missing/out.pdf"));

  // A folder the user may not write says so, with the file; Retry once it
  // is writable saves. (Run as root, the save is made as an ordinary user.)
  errors.clear();
  std::filesystem::create_directories(path("locked"));
  std::filesystem::permissions(
      path("locked"), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  saveTo = path("locked/out.rtf");
  const bool root = ::geteuid() == 0;
  if (root) ::setfsuid(65534);
  onError = [&] {
    if (root) ::setfsuid(0);
    std::filesystem::permissions(path("locked"), std::filesystem::perms::owner_all);
    return ErrorAnswer::Retry;
  };
  w.searchSave_Click();
  if (root) ::setfsuid(0);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "Permission denied: " + path("locked/out.rtf") + " ( 70)");
  EXPECT_TRUE(exists("locked/out.rtf"));

  // Saving keeps a file's mode and link and touches nothing but the file.
  errors.clear();
  namespace fs = std::filesystem;
  writeFile("out.rtf~", "the user's own backup");
  writeFile("shared.rtf", "old");
  fs::permissions(path("shared.rtf"),
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink("shared.rtf", path("link.rtf"));
  auto names = [&] {
    std::set<std::string> found;
    for (const auto& entry : fs::directory_iterator(dir())) found.insert(entry.path().filename());
    return found;
  };
  std::set<std::string> expectedNames = names();
  expectedNames.insert("out.rtf");
  for (const char* name : {"out.rtf", "link.rtf", "shared.rtf"}) {
    saveTo = path(name);
    w.searchSave_Click();
    EXPECT_EQ(readFile(name).rfind("{\\rtf", 0), 0u) << name;
  }
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(readFile("out.rtf~"), "the user's own backup");
  EXPECT_TRUE(fs::is_symlink(path("link.rtf")));
  EXPECT_EQ(fs::status(path("shared.rtf")).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_EQ(names(), expectedNames);
}

}  // namespace
}  // namespace quexa::testing
