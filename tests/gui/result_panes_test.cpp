// The result panes as the searches fill them: every document shows the text
// and formatting its RTF asks for, documents append in order, and a click
// while a writer runs leaves the caret at the end.
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextDocument>

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

TEST_F(ResultPaneTest, EveryDocumentShowsThePlainTextItsRtfReadsAs) {
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
  // The caret stands after the last document.
  EXPECT_EQ(w.allWebResult->textCursor().position(), endOf(w.allWebResult));
  EXPECT_EQ(w.dispResult->textCursor().position(), endOf(w.dispResult));
}

TEST_F(ResultPaneTest, EntriesShowTheirColoursSizesAndWeightsAndKeepThemInTheContent) {
  FrmMain& w = openMainWindow();
  QtWindow& win = w.window();
  win.insertRtf(Pane::All, siteEntry(1, "http://a.test/", matchingBody("plain words")));
  win.insertRtf(Pane::All, siteEntry(2, "http://b.test/", serverErrorBody()));
  win.insertRtf(Pane::All, engineHeading("AltaVista", false));

  const QTextCharFormat url = formatAt(w.allWebResult, "http://a.test/");
  EXPECT_EQ(url.foreground().color(), QColor(0, 0, 255));
  EXPECT_EQ(url.fontWeight(), QFont::Bold);
  EXPECT_DOUBLE_EQ(url.fontPointSize(), 9.0);

  const QTextCharFormat error = formatAt(w.allWebResult, "Server error occurred.");
  EXPECT_EQ(error.foreground().color(), QColor(255, 0, 0));
  EXPECT_DOUBLE_EQ(error.fontPointSize(), 9.0);

  const QTextCharFormat plain = formatAt(w.allWebResult, "plain words");
  EXPECT_EQ(plain.foreground().color(), QColor(0, 0, 0));

  const QTextCharFormat heading = formatAt(w.allWebResult, "AltaVista");
  EXPECT_EQ(heading.foreground().color(), QColor(255, 0, 0));
  EXPECT_EQ(heading.fontWeight(), QFont::Bold);
  EXPECT_DOUBLE_EQ(heading.fontPointSize(), 12.0);

  // What "Sa&ve" writes is read back from the pane with the same formats.
  const RichText content = paneContent(*w.allWebResult->document());
  EXPECT_EQ(plainText(content), textOf(w.allWebResult));
  bool sawRed = false;
  for (const Paragraph& p : content.paragraphs)
    for (const TextRun& run : p.runs)
      if (run.text.find("Server error") != std::string::npos) {
        sawRed = true;
        EXPECT_EQ(run.format.color, (Rgb{255, 0, 0}));
        EXPECT_EQ(run.format.fontSizeHalfPoints, 18);
      }
  EXPECT_TRUE(sawRed);
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

}  // namespace
}  // namespace quexa::testing
