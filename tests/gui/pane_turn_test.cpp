// A search's entries go into the result pane a turn of the window at a time:
// what "Sa&ve" writes and what the pane shows are what the same documents
// give a pane that takes each one by itself.
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTextDocument>
#include <memory>

#include "app/transcript.h"
#include "gui_fixture.h"
#include "match/dl_matcher.h"
#include "net/curl_fetcher.h"
#include "pane_turn.h"
#include "print_save.h"
#include "result_pane.h"
#include "results/pane_handlers.h"
#include "search/site_search.h"
#include "support/http_test_server.h"

namespace quexa::testing {
namespace {

using test::HttpTestServer;
using Kind = TranscriptEvent::Kind;
using PaneTurnTest = GuiTest;

constexpr int kPages = 20;

// Thirty found lines, each wrapping in the pane.
std::string longPage(int n) {
  std::string body = "<html><body>";
  for (int line = 1; line <= 30; ++line) {
    body += "<p>needle " + std::to_string(line) + " of page " + std::to_string(n);
    for (int word = 0; word < 12; ++word) body += " with words enough to wrap";
    body += "</p>\n";
  }
  return body + "</body></html>";
}

// The document drawn as the pane shows it from where it is scrolled to.
QImage drawn(QTextDocument& document, QSize shown, int top) {
  QImage image(shown, QImage::Format_ARGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.translate(0, -top);
  document.drawContents(&painter, QRectF(QPointF(0, top), QSizeF(shown)));
  return image;
}

TEST_F(PaneTurnTest, ASearchShowsAndSavesWhatADocumentAtATimeGives) {
  HttpTestServer server;
  for (int n = 1; n <= kPages; ++n)
    server.on("/p" + std::to_string(n) + ".html", HttpTestServer::page(longPage(n)));
  server.start();
  std::string index = "[Loop]\r\n";
  for (int n = 1; n <= kPages; ++n)
    index += server.url("/p" + std::to_string(n) + ".html") + "\r\n";
  writeFile("qxindex.ini", index);
  FrmMain& w = openMainWindow();
  w.show();
  w.searchCat->setCurrentIndex(0);
  w.searchCat_Click();
  w.searchText[0]->setText("needle");
  w.optSearchAll->setChecked(false);
  w.timeoutText->setText("5");
  w.retryText->setText("1");
  const MainControls controls = w.currentControls();
  w.searchNow->click();

  // The same search written to a transcript, its documents put one by one
  // into a pane without turns.
  AppState state;
  state.dataDir = w.state.dataDir;
  TranscriptWindow transcript;
  NullPump pump;
  CurlFetcher fetcher{pump};
  DlMatcher matcher;
  SiteSearchContext context{state, transcript, fetcher, pump, matcher, controls};
  searchMineSites(context);
  QTextEdit single;
  single.setUndoRedoEnabled(false);
  single.document()->setDefaultFont(w.allWebResult->document()->defaultFont());
  ASSERT_EQ(PaneTurn::of(&single), nullptr);
  for (const TranscriptEvent& e : transcript.events) {
    if (e.pane != Pane::All) continue;
    if (e.kind == Kind::Clear) clearPaneText(&single);
    if (e.kind == Kind::Reset) resetPaneText(&single);
    if (e.kind == Kind::Insert) insertPaneRtf(&single, e.text);
  }
  // Enough text for several turns.
  ASSERT_GT(single.document()->characterCount(), 2 * PaneTurn::kTurnCharacters);

  // Saved before the window gets to its events again.
  w.dispTab->setCurrentIndex(static_cast<int>(ResultTab::AllWebSites));
  w.resultHooks.chooseSaveFile = [&] { return QString::fromStdString(path("window.rtf")); };
  w.searchSave_Click();
  saveDocumentRtf(*single.document(), path("single.rtf"));
  EXPECT_EQ(readFile("window.rtf"), readFile("single.rtf"));
  EXPECT_EQ(textOf(w.allWebResult), textOf(&single));
  EXPECT_EQ(w.allWebResult->textCursor().position(), single.textCursor().position());

  // Shown: the newest entry in view, and the text laid out into the lines
  // the whole document laid out at once has.
  QCoreApplication::processEvents();
  const QTextEdit* pane = w.allWebResult;
  EXPECT_GT(pane->verticalScrollBar()->value(), 0);
  EXPECT_TRUE(pane->viewport()->rect().contains(pane->cursorRect()));
  std::unique_ptr<QTextDocument> whole(pane->document()->clone());
  whole->setTextWidth(pane->document()->textWidth());
  EXPECT_EQ(pane->document()->size(), whole->size());
  const int top = pane->verticalScrollBar()->value();
  EXPECT_TRUE(drawn(*pane->document(), pane->viewport()->size(), top) ==
              drawn(*whole, pane->viewport()->size(), top));
}

}  // namespace
}  // namespace quexa::testing
