// Searches through the window against loopback servers, end to end. A site
// search: the tree and the panes hold what the same search writes to a
// transcript; then the page view of a clicked node and "&View" over the
// entries. An engine search against a loopback engine named in qxhosts.ini:
// the hits, the hit detail of a clicked hit, "Search Web Site" over it and
// "&View" (what the search writes is the engine search's own tests'); Stop
// through a silent proxy. The user's engines: the "Engines..." editor, their
// tick boxes kept in qxengines.ini, "Check Hits" kept in qxoptions.ini, and a
// search that lists only the hit page that holds the texts.
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <chrono>
#include <map>

#include "app/transcript.h"
#include "frm_engines.h"
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

class SearchWindowTest : public GuiTest {
 protected:
  // The window, with "&View" noting what it would open.
  FrmMain& openViewing() {
    FrmMain& w = openMainWindow();
    w.resultHooks.openUrl = [this](const QUrl& url) {
      opened.push_back(url.toString().toStdString());
      return true;
    };
    return w;
  }

  HttpTestServer server;
  std::vector<std::string> opened;
};

// Each node's key with its parent's key, text and picture, "parent|text|image".
std::map<std::string, std::string> treeOf(const QTreeWidget* tree) {
  std::map<std::string, std::string> nodes;
  std::vector<const QTreeWidgetItem*> pending;
  for (int i = 0; i < tree->topLevelItemCount(); ++i) pending.push_back(tree->topLevelItem(i));
  while (!pending.empty()) {
    const QTreeWidgetItem* item = pending.back();
    pending.pop_back();
    std::string image;
    for (const char* name : {"closed", "open", "leaf"})
      if (item->icon(0).pixmap(16).toImage() == QtWindow::image(name).pixmap(16).toImage())
        image = name;
    nodes[QtWindow::keyOf(item)] =
        QtWindow::keyOf(item->parent()) + "|" + item->text(0).toStdString() + "|" + image;
    for (int i = 0; i < item->childCount(); ++i) pending.push_back(item->child(i));
  }
  return nodes;
}

std::map<std::string, std::string> treeOf(const TranscriptWindow& transcript) {
  std::map<std::string, std::string> nodes;
  for (const TranscriptEvent& e : transcript.eventsOf(Kind::Node))
    nodes[e.key] = e.parentKey.value_or("") + "|" + e.text + "|" + e.image;
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

class SiteResultsTest : public SearchWindowTest {
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
    FrmMain& w = openViewing();
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

class EngineResultsTest : public SearchWindowTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    server.start();
    resultPage = "<html><body>\n<UL>\n<LI><A HREF=\"" + server.url("/apple.html") +
                 "\">Apple <b>Computer</b></A> - makers of fine things.<br>\n<LI><A HREF=\"" +
                 server.url("/pie.html") + "\">Pie</A> all about pies.<br>\n</UL>\n<a href=\"" +
                 server.url("/end.html") + "\">End</a></body></html>";
    server.on("/bin/query", HttpTestServer::page(resultPage));
    server.on("/bin/search", HttpTestServer::page(resultPage));
    server.on("/apple.html",
              HttpTestServer::page("<html><body><p>an apple needle</p></body></html>"));
    server.on("/pie.html", HttpTestServer::page("<html><body><p>no match</p></body></html>"));

    Settings saved;
    saved.chkYahoo = true;
    saved.chkLycos = saved.chkInfoseek = saved.chkExcite = saved.chkAltavista = false;
    saveEngineMode(saved, "5", "1");
    writeFile("qxhosts.ini", "[Yahoo]\r\nmain=" + server.hostAndPort() +
                                 "\r\nsecond=" + server.hostAndPort() + "\r\n");
  }

  std::string hitKey(int n, const std::string& path) const {
    return "Yahoo " + std::to_string(n) + server.url(path);
  }

  std::string resultPage;
};

TEST_F(EngineResultsTest, HitsThenTheirDetailThenASearchOfTheHitsSite) {
  FrmMain& w = openViewing();
  w.searchText[0]->setText("needle");
  w.searchNow->click();
  ASSERT_TRUE(messages.empty()) << messages[0].text;
  EXPECT_EQ(w.lblResult->text().toStdString(), "Found:  2");
  EXPECT_EQ(w.dispFile->text().toStdString(), "Ready to search!");
  EXPECT_EQ(w.outlineFile->topLevelItemCount(), 1);  // the engine, its two hits under it
  EXPECT_EQ(w.outlineFile->topLevelItem(0)->childCount(), 2);
  EXPECT_NE(textOf(w.allWebResult).find("Apple Computer"), std::string::npos);

  // The hit detail: the engine's own text, no fetch of the hit. "Search Web
  // Site" then fetches the selected hit and lists it with its match.
  const size_t requests = server.requestCount();
  w.outlineFile_NodeClick(w.window().node(hitKey(1, "/apple.html")));
  EXPECT_EQ(server.requestCount(), requests);
  EXPECT_NE(textOf(w.dispResult).find("makers of fine things."), std::string::npos);
  EXPECT_TRUE(w.searchPage->isEnabled());
  w.searchPage->click();
  EXPECT_EQ(server.requestCount("/apple.html"), 1u);
  EXPECT_NE(textOf(w.dispResult).find("an apple needle"), std::string::npos);
  EXPECT_EQ(w.lblResult->text().toStdString(), "Links: 1/1");
  EXPECT_EQ(w.dispFile->text().toStdString(), "Ready to search!");
  EXPECT_EQ(w.state.paneBusy, 0);

  // "&View" on the all-results tab reads the hit entry under the caret.
  w.dispTab->setCurrentIndex(0);
  QTextCursor caret = w.allWebResult->textCursor();
  caret.movePosition(QTextCursor::End);
  w.allWebResult->setTextCursor(caret);
  w.buttonView_Click();
  ASSERT_EQ(opened.size(), 1u);
  EXPECT_EQ(opened[0], server.url("/pie.html"));
}

// Stop while an engine's answer is awaited through a proxy that never
// answers: the search ends at once and the window never stalls meanwhile.
TEST_F(EngineResultsTest, StopWhileTheProxyIsSilentEndsTheSearchAtOnce) {
  using Clock = std::chrono::steady_clock;
  HttpTestServer proxy;
  proxy.otherwise(proxy.silence(std::chrono::seconds(3)));
  proxy.start();
  FrmMain& w = openMainWindow();
  QTest::keyClicks(w.searchText[0], "needle");
  QTest::keyClicks(w.proxyText, QString::fromStdString(proxy.hostAndPort()));
  w.timeoutText->setText("30");

  Clock::time_point last = Clock::now();
  Clock::duration longestGap{};
  QTimer beat;
  QObject::connect(&beat, &QTimer::timeout, [&] {
    longestGap = std::max(longestGap, Clock::now() - last);
    last = Clock::now();
  });
  beat.start(10);
  Clock::time_point stoppedAt;
  QTimer::singleShot(400, [&] {
    stoppedAt = Clock::now();
    QTest::mouseClick(w.searchStop, Qt::LeftButton);
  });
  QTest::mouseClick(w.searchNow, Qt::LeftButton);
  const Clock::duration stopTook = Clock::now() - stoppedAt;
  EXPECT_EQ(w.dispFile->text().toStdString(), "Search was stopped before its completion!");
  // Goals: the stop within 0.3 s, no gap over 100 ms; the margins allow for
  // a loaded machine.
  EXPECT_LT(stopTook, std::chrono::milliseconds(1000));
  EXPECT_LT(longestGap, std::chrono::milliseconds(400));
}

class UserEnginesWindowTest : public SearchWindowTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    server.on("/search", [this](const httplib::Request&, httplib::Response& res) {
      res.set_content(R"({"results":[{"url":")" + server.url("/ripe") +
                          R"(","title":"Ripe","content":"red"},{"url":")" + server.url("/raw") +
                          R"(","title":"Raw","content":"green"}]})",
                      "application/json");
    });
    server.on("/ripe", HttpTestServer::page("<html><body><p>an apple pie</p></body></html>"));
    server.on("/raw", HttpTestServer::page("<html><body><p>a pear</p></body></html>"));
    server.start();
    saveEngineMode({}, "5", "0");
  }
};

TEST_F(UserEnginesWindowTest, EditorBoxesCheckHitsAndASearch) {
  FrmMain& w = openMainWindow();
  EXPECT_TRUE(w.buttonEngines->isEnabled());
  EXPECT_FALSE(exists("qxengines.ini"));

  // The editor is modal: it is driven once it shows, then closed.
  QTimer::singleShot(0, [&] {
    auto* editor = w.findChild<FrmEngines*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->windowTitle().toStdString(), "Quexa - Web Engines");
    for (int round = 0; round < 2; ++round) {
      editor->engineName->setText("Home Searx");
      editor->engineAddress->setText(
          QString::fromStdString(server.url("/search?q={searchTerms}&format=json")));
      editor->engineFormat->setCurrentText("searxng-json");
      editor->engineAdd->click();
    }
    editor->engineName->setText("Bad");
    editor->engineAddress->setText(QString::fromStdString(server.url("/raw")));
    editor->engineAdd->click();  // read as a description document, which it is not
    EXPECT_EQ(editor->engineList->count(), 1);
    editor->engineClose->click();
  });
  w.buttonEngines->click();
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].text, "An engine named \"Home Searx\" exists already.");
  EXPECT_EQ(messages[0].title, "Invalid Engine");
  EXPECT_NE(messages[1].text.find("Not an engine"), std::string::npos);

  QCheckBox* box = w.userEngineBoxes->box("Home Searx");
  ASSERT_NE(box, nullptr);
  EXPECT_TRUE(box->isChecked());
  box->click();
  EXPECT_EQ(readFile("qxengines.ini").find("ticked=1"), std::string::npos);
  box->click();
  EXPECT_NE(readFile("qxengines.ini").find("ticked=1"), std::string::npos);

  w.chkCheckHits->click();
  EXPECT_NE(readFile("qxoptions.ini").find("checkhits=1"), std::string::npos);

  w.searchText[0]->setText("apple");
  w.searchNow->click();
  ASSERT_EQ(messages.size(), 2u) << messages.back().text;
  EXPECT_EQ(w.lblResult->text().toStdString(), "Found:  1");
  EXPECT_NE(w.window().node("Home Searx 1" + server.url("/ripe")), nullptr);
  EXPECT_EQ(textOf(w.allWebResult).find(server.url("/raw")), std::string::npos);
  EXPECT_NE(textOf(w.allWebResult).find("an apple pie"), std::string::npos);

  // The other mode greys the frame out with its new controls.
  w.searchConfig->click();
  w.buttonMine->click();
  EXPECT_FALSE(w.userEngineBoxes->isEnabled());
  EXPECT_FALSE(w.chkCheckHits->isEnabled());
}

}  // namespace
}  // namespace quexa::testing
