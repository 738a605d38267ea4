// An engine search through the window against a loopback engine named in
// qxhosts.ini: the hits in the tree and the all-results pane, the hit detail
// of a clicked hit, "Search Web Site" over it and "&View". What the search
// writes is the engine search's own tests'; that the window shows what a
// search writes is the site results test's.
#include <QTest>
#include <QUrl>
#include <chrono>

#include "gui_fixture.h"
#include "support/http_test_server.h"

namespace quexa::testing {
namespace {

using test::HttpTestServer;

class EngineResultsTest : public GuiTest {
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
    saved.mineMode = 0;
    saved.engineMode = 1;
    saved.chkYahoo = true;
    saved.chkLycos = saved.chkInfoseek = saved.chkExcite = saved.chkAltavista = false;
    saved.timeoutText = "5";
    saved.retryText = "1";
    writeFile("qxconfig.qxf", encodeSettings(saved));
    writeFile("qxhosts.ini", "[Yahoo]\r\nmain=" + server.hostAndPort() +
                                 "\r\nsecond=" + server.hostAndPort() + "\r\n");
  }

  std::string hitKey(int n, const std::string& path) const {
    return "Yahoo " + std::to_string(n) + server.url(path);
  }

  HttpTestServer server;
  std::string resultPage;
};

TEST_F(EngineResultsTest, HitsThenTheirDetailThenASearchOfTheHitsSite) {
  FrmMain& w = openMainWindow();
  std::vector<std::string> opened;
  w.resultHooks.openUrl = [&](const QUrl& url) {
    opened.push_back(url.toString().toStdString());
    return true;
  };
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

}  // namespace
}  // namespace quexa::testing
