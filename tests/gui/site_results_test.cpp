// A site search through the window against a loopback site, end to end:
// the tree and the panes hold what the same search writes to a transcript;
// then the page view of a clicked node and "&View" over the entries.
#include <QUrl>
#include <map>

#include "app/transcript.h"
#include "gui_fixture.h"
#include "match/dl_matcher.h"
#include "net/curl_fetcher.h"
#include "results/rtf_reader.h"
#include "search/site_search.h"
#include "support/http_test_server.h"

namespace quexa::testing {
namespace {

using test::HttpTestServer;
using Kind = TranscriptEvent::Kind;

struct TreeNode {
  std::string parentKey;
  std::string text;
  std::string image;
  bool operator==(const TreeNode&) const = default;
};

std::map<std::string, TreeNode> treeOf(const QTreeWidget* tree) {
  std::map<std::string, TreeNode> nodes;
  std::vector<const QTreeWidgetItem*> pending;
  for (int i = 0; i < tree->topLevelItemCount(); ++i) pending.push_back(tree->topLevelItem(i));
  while (!pending.empty()) {
    const QTreeWidgetItem* item = pending.back();
    pending.pop_back();
    std::string image;
    for (const char* name : {"closed", "open", "leaf"})
      if (item->icon(0).pixmap(16).toImage() == QtWindow::image(name).pixmap(16).toImage())
        image = name;
    nodes[QtWindow::keyOf(item)] = {QtWindow::keyOf(item->parent()), item->text(0).toStdString(),
                                    image};
    for (int i = 0; i < item->childCount(); ++i) pending.push_back(item->child(i));
  }
  return nodes;
}

std::map<std::string, TreeNode> treeOf(const TranscriptWindow& transcript) {
  std::map<std::string, TreeNode> nodes;
  for (const TranscriptEvent& e : transcript.eventsOf(Kind::Node))
    nodes[e.key] = {e.parentKey.value_or(""), e.text, e.image};
  return nodes;
}

// The pane's text after the transcript's clears, resets and inserts.
std::string paneTextOf(const TranscriptWindow& transcript, Pane pane) {
  RichText content;
  for (const TranscriptEvent& e : transcript.events) {
    if (e.pane != pane) continue;
    if (e.kind == Kind::Clear || e.kind == Kind::Reset) content = RichText();
    if (e.kind == Kind::Reset) appendRtf(content, " ");
    if (e.kind == Kind::Insert) appendRtf(content, e.text);
  }
  return plainText(content);
}

class SiteResultsTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    server.on("/", HttpTestServer::page("<html><body><p>home without the word</p>"
                                        "<a href=\"/one.html\">1</a><a href=\"/two.html\">2</a>"
                                        "<a href=\"/three.html\">3</a></body></html>"));
    server.on("/one.html", HttpTestServer::page("<html><body><p>first needle here</p>"
                                                "<a href=\"/three.html\">3</a></body></html>"));
    server.on("/two.html", HttpTestServer::page("<html><body><p>nothing</p></body></html>"));
    server.on("/three.html",
              HttpTestServer::page("<html><body><p>third Needle line</p></body></html>"));
    server.start();
  }

  // The window with an index of these URLs chosen and "needle" typed.
  FrmMain& openSearchWindow(const std::vector<std::string>& urls, bool allLinks) {
    std::string index = "[Loop]\r\n";
    for (const std::string& url : urls) index += url + "\r\n";
    writeFile("qxindex.ini", index);
    FrmMain& w = openMainWindow();
    w.resultHooks.openUrl = [this](const QUrl& url) {
      opened.push_back(url.toString().toStdString());
      return true;
    };
    w.searchCat->setCurrentIndex(0);
    w.searchCat_Click();
    w.searchText[0]->setText("needle");
    w.optSearchAll->setChecked(allLinks);
    w.timeoutText->setText("5");
    w.retryText->setText("1");
    return w;
  }

  std::string pageKey(int n, const std::string& url) const {
    return "Yahoo " + std::to_string(n) + url;
  }

  HttpTestServer server;
  std::vector<std::string> opened;
};

TEST_F(SiteResultsTest, TheWindowShowsWhatTheSearchWritesInBothModes) {
  for (bool allLinks : {false, true}) {
    SCOPED_TRACE(allLinks ? "all links" : "single pages");
    const std::vector<std::string> urls =
        allLinks ? std::vector<std::string>{server.url("")}
                 : std::vector<std::string>{server.url("/one.html"), server.url("/two.html"),
                                            server.url("/three.html")};
    FrmMain& w = openSearchWindow(urls, allLinks);
    const MainControls controls = w.currentControls();
    w.searchNow->click();

    // The same search without a window: the transcript it writes.
    AppState state;
    state.dataDir = w.state.dataDir;
    TranscriptWindow expected;
    NullPump pump;
    CurlFetcher fetcher(pump);
    DlMatcher matcher;
    SiteSearchContext context{state, expected, fetcher, pump, matcher, controls};
    searchMineSites(context);

    // The first node that opened shows its expanded picture.
    QTreeWidgetItem* index = w.window().node("Loop\\");
    ASSERT_NE(index, nullptr);
    EXPECT_TRUE(index->isExpanded());
    EXPECT_EQ(index->icon(0).pixmap(16).toImage(), QtWindow::image("open").pixmap(16).toImage());
    // Closed, every node shows the picture it was made with.
    index->setExpanded(false);
    EXPECT_EQ(index->icon(0).pixmap(16).toImage(), QtWindow::image("closed").pixmap(16).toImage());
    EXPECT_EQ(treeOf(w.outlineFile), treeOf(expected));
    EXPECT_EQ(treeOf(w.outlineFile).size(), allLinks ? 4u : 3u);  // index (+ site) + 2 pages
    EXPECT_EQ(textOf(w.allWebResult), paneTextOf(expected, Pane::All));
    EXPECT_EQ(textOf(w.dispResult), paneTextOf(expected, Pane::Page));
    EXPECT_NE(textOf(w.allWebResult).find("first needle here"), std::string::npos);
    EXPECT_EQ(w.dispFile->text().toStdString(), expected.status);
    EXPECT_EQ(w.lblResult->text().toStdString(), "Found:  2");
    EXPECT_FALSE(w.busyTimer->isActive());
    // The window stays in its results view until "&Main".
    EXPECT_FALSE(w.frameSearch->isVisibleTo(&w));
    for (QPushButton* b : {w.searchConfig, w.searchPrint, w.searchSave, w.buttonView})
      EXPECT_TRUE(b->isEnabled()) << b->text().toStdString();
    for (QPushButton* b : {w.searchNow, w.searchStop, w.viewPrev, w.buttonMine, w.buttonEngine,
                           w.buttonIndex, w.buttonTimer, w.searchPage})
      EXPECT_FALSE(b->isEnabled()) << b->text().toStdString();
  }
}

// "&View" reads the entry under the caret on the all-results tab and the
// tree's selection on the page tab; with neither it asks for a page.
TEST_F(SiteResultsTest, APageNodeClickShowsItsMatchAndViewOpensTheEntryOrTheSelection) {
  const std::string one = server.url("/one.html");
  const std::string three = server.url("/three.html");
  FrmMain& w = openSearchWindow({one, server.url("/two.html"), three}, false);
  w.buttonView_Click();
  EXPECT_EQ(beeps, 1);
  EXPECT_EQ(messages, (std::vector<ShownMessage>{{"You must select a Web page to view!",
                                                  "Select File", MessageIcon::Critical}}));
  messages.clear();
  w.searchNow->click();
  ASSERT_EQ(w.dispTab->currentIndex(), 0);
  const QString text = w.allWebResult->toPlainText();
  QTextCursor caret = w.allWebResult->textCursor();
  caret.setPosition(static_cast<int>(text.indexOf("third Needle")));
  w.allWebResult->setTextCursor(caret);
  w.buttonView_Click();
  caret.setPosition(0);
  w.allWebResult->setTextCursor(caret);
  w.buttonView_Click();
  EXPECT_EQ(opened, (std::vector<std::string>{three, one}));

  // A page node is fetched again and its match shown.
  const size_t requestsBefore = server.requestCount("/one.html");
  w.outlineFile_NodeClick(w.window().node(pageKey(1, one)));
  EXPECT_EQ(server.requestCount("/one.html"), requestsBefore + 1);
  EXPECT_NE(textOf(w.dispResult).find(one + "     "), std::string::npos);
  EXPECT_NE(textOf(w.dispResult).find("first needle here"), std::string::npos);
  EXPECT_EQ(w.dispFile->text().toStdString(), "Ready to search!");
  EXPECT_EQ(w.state.paneBusy, 0);
  EXPECT_TRUE(w.buttonView->isEnabled());
  EXPECT_FALSE(w.searchStop->isEnabled());
  EXPECT_FALSE(w.busyTimer->isActive());
  // The index node has children: the pane keeps what it shows.
  const std::string shown = textOf(w.dispResult);
  w.outlineFile_NodeClick(w.window().node("Loop\\"));
  EXPECT_EQ(textOf(w.dispResult), shown);

  w.outlineFile_NodeClick(w.window().node(pageKey(2, three)));
  w.dispTab->setCurrentIndex(1);
  w.buttonView_Click();
  ASSERT_EQ(opened.size(), 3u);
  EXPECT_EQ(opened.back(), three);
  EXPECT_TRUE(messages.empty());

  // During a search: the guard's message and nothing opened.
  w.state.searchRunning = 1;
  w.buttonView_Click();
  w.state.searchRunning = 0;
  EXPECT_EQ(opened.size(), 3u);
  EXPECT_EQ(messages,
            (std::vector<ShownMessage>{{"You must stop the current search first!",
                                        "Search is not stopped", MessageIcon::Critical}}));
}

}  // namespace
}  // namespace quexa::testing
