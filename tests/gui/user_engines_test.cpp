// The user's engines in the window: the "Engines..." editor adds one and
// refuses a second of the same name with a message, its tick box appears
// under the five and keeps its tick in qxengines.ini, "Check Hits" is kept
// in qxoptions.ini, and a search with both lists only the hit page that
// holds the texts.
#include <QScrollArea>
#include <QTimer>

#include "frm_engines.h"
#include "gui_fixture.h"
#include "support/http_test_server.h"

namespace quexa::testing {
namespace {

using test::HttpTestServer;

class UserEnginesWindowTest : public GuiTest {
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
    Settings saved;
    saved.mineMode = 0;
    saved.engineMode = 1;
    saved.timeoutText = "5";
    saved.retryText = "0";
    writeFile("qxconfig.qxf", encodeSettings(saved));
  }

  HttpTestServer server;
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
