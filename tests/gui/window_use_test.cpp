// The window driven as a person drives it: keys typed into the focused
// control, Tab, clicks on buttons, tree nodes, tabs and the splitter, and
// what the person then sees; Start, Stop and the stop-first guard over the
// real controls, and the result tree that the searches write to.
#include <QHelpEvent>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>
#include <QToolTip>
#include <QUrl>

#include "app/errors.h"
#include "app/search_frame.h"
#include "gui_fixture.h"
#include "null_fetcher.h"
#include "pic_divider.h"
#include "results/node_keys.h"
#include "support/http_test_server.h"

namespace quexa::testing {
namespace {

using test::HttpTestServer;

class WindowUseTest : public GuiTest {
 protected:
  // The window on the screen and active, as after start-up.
  FrmMain& showWindow() {
    FrmMain& w = openMainWindow();
    w.show();
    w.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
    return w;
  }

  static void showTab(FrmMain& w, int tab) {
    QTabBar* bar = w.dispTab->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
    ASSERT_EQ(w.dispTab->currentIndex(), tab);
  }

  static void clickNode(FrmMain& w, QTreeWidgetItem* node) {
    QWidget* view = w.outlineFile->viewport();
    QTest::mouseClick(view, Qt::LeftButton, {}, w.outlineFile->visualItemRect(node).center());
  }

  static void typeInto(QLineEdit* box, const QString& text) {
    box->setFocus();
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClicks(box, text);
  }
};

TEST_F(WindowUseTest, TypingGoesToTheFirstBoxTabFollowsTheWindowDownAnEmptyNumberBoxIsRefused) {
  FrmMain& w = showWindow();
  ASSERT_EQ(QApplication::focusWidget(), w.searchText[0]);
  QTest::keyClicks(QApplication::focusWidget(), "needle");
  EXPECT_EQ(w.searchText[0]->text().toStdString(), "needle");

  // Box 1, its AND/OR/NOT, box 2, ... box 4: the place of each stop only grows.
  auto placeOf = [&](QWidget* widget) {
    for (int i = 0; i < 4; ++i) {
      if (widget == w.searchText[static_cast<size_t>(i)]) return 2 * i;
      const std::array<QRadioButton*, 3>* connectors[] = {&w.Opt1, &w.Opt2, &w.Opt3};
      if (i < 3)
        for (QRadioButton* choice : *connectors[i])
          if (widget == static_cast<QWidget*>(choice)) return 2 * i + 1;
    }
    return -1;
  };
  std::vector<int> places{0};
  while (places.back() != 6 && places.size() < 20) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    places.push_back(placeOf(QApplication::focusWidget()));
  }
  for (size_t i = 1; i < places.size(); ++i) {
    EXPECT_GE(places[i], places[i - 1]) << i;
    EXPECT_LE(places[i], places[i - 1] + 1) << i;
  }
  EXPECT_EQ(places.back(), 6);

  // An empty number box refuses the start and gets the focus.
  writeFile("qxindex.ini", "[Loop]\r\nhttp://127.0.0.1:9/\r\n");
  struct Case {
    QLineEdit* box;
    const char* text;
  };
  for (const Case& c :
       {Case{w.timeoutText, "You must enter a number from 30 to 90 in Timeout!"},
        Case{w.retryText, "You must enter a number from 3 to 99 in Retry!"},
        Case{w.hitsText, "You must enter a number from 100 to 30000 in Maximum Sites!"}}) {
    SCOPED_TRACE(c.text);
    messages.clear();
    typeInto(w.searchText[0], "needle");
    typeInto(c.box, "");
    QTest::mouseClick(w.searchNow, Qt::LeftButton);
    EXPECT_EQ(messages, (std::vector<ShownMessage>{{c.text, "Number Missing", MessageIcon::Critical,
                                                    MessageButtons::Ok}}));
    EXPECT_EQ(w.state.searchRunning, 0);
    EXPECT_TRUE(w.frameSearch->isVisible());
    EXPECT_TRUE(w.searchNow->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), c.box);
    typeInto(c.box, "50");
  }
}

TEST_F(WindowUseTest, ACrawlEndsWithItsPagesInSightAndTheFocusOnTheResults) {
  HttpTestServer server;
  const std::string longName = "/a-page-whose-name-is-longer-than-the-tree-is-wide-";
  server.on("/", HttpTestServer::page("<html><body><p>home</p><a href=\"" + longName +
                                      "1.html\">1</a><a href=\"" + longName +
                                      "2.html\">2</a></body></html>"));
  for (const char* n : {"1", "2"})
    server.on(longName + n + ".html",
              HttpTestServer::page("<html><body><p>a needle</p></body></html>"));
  server.start();
  writeFile("qxindex.ini", "[Loop]\r\n" + server.url("") + "\r\n");
  FrmMain& w = showWindow();
  w.searchCat->setCurrentIndex(0);
  w.searchCat_Click();
  QTest::keyClicks(w.searchText[0], "needle");
  w.optSearchAll->setChecked(true);
  QTest::mouseClick(w.searchNow, Qt::LeftButton);
  ASSERT_EQ(w.lblResult->text().toStdString(), "Found:  2");

  // The focus is on the results, never on a command that Enter would run.
  EXPECT_FALSE(qobject_cast<QPushButton*>(QApplication::focusWidget()));
  showTab(w, 1);
  QTreeWidgetItem* site = w.window().node(siteNode("Loop", server.url("")).key);
  ASSERT_NE(site, nullptr);
  EXPECT_TRUE(site->isExpanded());
  ASSERT_EQ(site->childCount(), 2);
  QApplication::processEvents();
  QTreeWidgetItem* last = site->child(1);
  EXPECT_TRUE(w.outlineFile->viewport()->rect().intersects(w.outlineFile->visualItemRect(last)));

  // Resting the mouse on an elided node shows its whole text.
  QHelpEvent hover(
      QEvent::ToolTip, w.outlineFile->visualItemRect(last).center(),
      w.outlineFile->viewport()->mapToGlobal(w.outlineFile->visualItemRect(last).center()));
  QApplication::sendEvent(w.outlineFile->viewport(), &hover);
  EXPECT_EQ(QToolTip::text(), last->text(0));
}

TEST_F(WindowUseTest, FailuresShowQuietlyTheSplitterLightsUnderTheMouseARefusedClickKeepsTheNode) {
  FrmMain& w = showWindow();
  const QRect fileField = w.dispFile->geometry();
  EXPECT_TRUE(w.lblUnfetched->isHidden());
  w.window().reportUnfetched("http://127.0.0.1:9/dead.html", "Could not connect");
  w.window().reportUnfetched("http://127.0.0.1:9/<odd>.html", "Timeout was reached");
  EXPECT_TRUE(w.lblUnfetched->isVisible());
  EXPECT_EQ(w.lblUnfetched->text().toStdString(), "2 pages could not be fetched");
  QHelpEvent hover(QEvent::ToolTip, w.lblUnfetched->rect().center(),
                   w.lblUnfetched->mapToGlobal(w.lblUnfetched->rect().center()));
  QApplication::sendEvent(w.lblUnfetched, &hover);
  const QString tip = QToolTip::text();
  for (const char* part : {"dead.html", "Could not connect", "&lt;odd&gt;", "Timeout was reached"})
    EXPECT_TRUE(tip.contains(part)) << part << " in " << tip.toStdString();
  EXPECT_FALSE(w.dispFile->geometry().intersects(w.lblUnfetched->geometry()));
  EXPECT_TRUE(messages.empty());
  w.window().clearUnfetched();
  EXPECT_TRUE(w.lblUnfetched->isHidden());
  EXPECT_EQ(w.dispFile->geometry(), fileField);

  // "&View" and "&Help" with no program to open the address say so.
  w.state.selectedPageUrl = "http://127.0.0.1:9/page.html";
  w.resultHooks.openUrl = [](const QUrl&) { return false; };
  showTab(w, 1);
  QTest::mouseClick(w.buttonView, Qt::LeftButton);
  writeFile("quexa.hlp", "help");
  QTest::mouseClick(w.helpCfg, Qt::LeftButton);
  const std::vector<ShownMessage> expected{
      {"No program could open this address:\nhttp://127.0.0.1:9/page.html", "Cannot Open",
       MessageIcon::Exclamation, MessageButtons::Ok},
      {"No program could open this address:\n" + path("quexa.hlp"), "Cannot Open",
       MessageIcon::Exclamation, MessageButtons::Ok}};
  EXPECT_EQ(messages, expected);

  // The splitter lights under the mouse; a node click refused during a
  // search keeps the shown node.
  messages.clear();
  for (const char* key : {"A", "B"}) {
    w.window().addNode({std::nullopt, key, key, "closed", "open"});
    w.window().addNode({std::string(key), std::string(key) + "1", "page", "leaf", std::nullopt});
  }
  w.frameSearch->hide();
  showTab(w, 1);
  PicDivider* bar = w.picDivider;
  EXPECT_EQ(bar->cursor().shape(), Qt::SplitHCursor);
  const QImage idle = bar->grab().toImage();
  QTest::mouseMove(bar, bar->rect().center());
  EXPECT_TRUE(bar->lit());
  EXPECT_NE(bar->grab().toImage(), idle);
  QTest::mouseMove(w.outlineFile->viewport(), QPoint(5, 5));
  EXPECT_FALSE(bar->lit());
  EXPECT_EQ(bar->grab().toImage(), idle);

  clickNode(w, w.window().node("A"));
  ASSERT_EQ(w.outlineFile->currentItem(), w.window().node("A"));
  w.state.searchRunning = 1;  // "Search Web Site" runs
  clickNode(w, w.window().node("B"));
  w.state.searchRunning = 0;
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].title, "Search is not stopped");
  EXPECT_EQ(w.outlineFile->currentItem(), w.window().node("A"));
  EXPECT_EQ(w.outlineFile->selectedItems(), QList<QTreeWidgetItem*>{w.window().node("A")});
}

TEST_F(WindowUseTest, TheLampBlinksWhileASearchRunsStopAsksItToEndTreeNodesRefuseARepeatedKey) {
  FrmMain& w = openMainWindow();
  enterRunningState(w.state, w.window());
  EXPECT_EQ(lampOf(w), "green blinking");
  EXPECT_EQ(w.busyTimer->interval(), 150);
  EXPECT_FALSE(w.searchNow->isEnabled());
  // Two ticks hide the green lamp and show it again.
  w.busyTimer_Timer();
  EXPECT_EQ(lampOf(w), " blinking");
  w.busyTimer_Timer();
  EXPECT_EQ(lampOf(w), "green blinking");

  w.searchStop->click();
  EXPECT_EQ(w.state.stopRequest, 1);
  EXPECT_EQ(w.dispFile->text().toStdString(), "Please wait while connection is being closed .....");
  EXPECT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_FALSE(stopFirstGuard(w.state, w.window()));
  EXPECT_EQ(beeps, 1);
  EXPECT_EQ(messages,
            (std::vector<ShownMessage>{{"You must stop the current search first!",
                                        "Search is not stopped", MessageIcon::Critical}}));

  NullFetcher fetcher;
  endSearch(w.state, w.window(), fetcher, EndReason::Stopped);
  EXPECT_EQ(w.dispFile->text().toStdString(), "Search was stopped before its completion!");
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(lampOf(w), "red");
  EXPECT_TRUE(stopFirstGuard(w.state, w.window()));

  // Tree nodes hang under their parents and refuse a repeated key.
  QtWindow& win = w.window();
  win.addNode({std::nullopt, "I1", "Work", "closed", "open"});
  win.addNode({"I1", "S1", "http://a/", "leaf", std::nullopt});
  EXPECT_THROW(win.addNode({"I1", "S1", "again", "leaf", std::nullopt}), QuexaError);
  EXPECT_THROW(win.addNode({"nope", "S2", "orphan", "leaf", std::nullopt}), QuexaError);

  ASSERT_EQ(w.outlineFile->topLevelItemCount(), 1);
  QTreeWidgetItem* index = w.outlineFile->topLevelItem(0);
  ASSERT_EQ(index->childCount(), 1);
  EXPECT_EQ(index->child(0)->text(0).toStdString(), "http://a/");
  EXPECT_EQ(QtWindow::keyOf(index->child(0)), "S1");
  EXPECT_FALSE(index->isExpanded());
  win.makeVisible("S1");
  EXPECT_TRUE(index->isExpanded());

  // Far down a long list: shown once the window gets to its events, at the
  // last node asked for.
  for (int n = 2; n <= 300; ++n)
    win.addNode(
        {"I1", "S" + std::to_string(n), "http://a/" + std::to_string(n), "leaf", std::nullopt});
  w.show();
  win.makeVisible("S150");
  win.makeVisible("S300");
  QCoreApplication::processEvents();
  const QRect shown = w.outlineFile->viewport()->rect();
  EXPECT_TRUE(shown.intersects(w.outlineFile->visualItemRect(win.node("S300"))));
  EXPECT_FALSE(shown.intersects(w.outlineFile->visualItemRect(win.node("S2"))));

  win.clearTree();
  EXPECT_EQ(w.outlineFile->topLevelItemCount(), 0);
  EXPECT_EQ(win.node("S1"), nullptr);
  EXPECT_NO_THROW(win.addNode({std::nullopt, "S1", "after clearing", "closed", "open"}));
}

}  // namespace
}  // namespace quexa::testing
