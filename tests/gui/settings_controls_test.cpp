// The number boxes, their spin bars and the proxy box.
#include <QSpinBox>
#include <QToolButton>
#include <QValidator>

#include "gui_fixture.h"
#include "spin_bar.h"

namespace quexa::testing {
namespace {

using SettingsControlsTest = GuiTest;

bool accepts(QLineEdit* box, const QString& text) {
  QString copy = text;
  int position = 0;
  return text.size() <= box->maxLength() &&
         box->validator()->validate(copy, position) == QValidator::Acceptable;
}

TEST_F(SettingsControlsTest, AnArrowReplacesATypedTextAndEachSpinBarKeepsToItsRange) {
  FrmMain& w = openMainWindow();
  w.timeoutText->setText("45");
  EXPECT_EQ(w.timeoutScroll->value(), 30);  // typing leaves the bar where it was
  w.timeoutScroll->upArrow()->click();
  EXPECT_EQ(w.timeoutText->text().toStdString(), "32");
  w.timeoutScroll->downArrow()->click();
  EXPECT_EQ(w.timeoutText->text().toStdString(), "30");

  struct Case {
    SpinBar* spin;
    QLineEdit* box;
    int step;
    int min;
    int max;
  };
  for (const Case& c : {Case{w.hitsScroll, w.hitsText, 50, 100, 30000},
                        Case{w.timeoutScroll, w.timeoutText, 2, 30, 90},
                        Case{w.retryScroll, w.retryText, 1, 3, 99}}) {
    const int start = c.spin->value();
    c.spin->upArrow()->click();
    EXPECT_EQ(c.box->text().toInt(), start + c.step);
    c.spin->setValue(c.max + 1000);
    EXPECT_EQ(c.box->text().toInt(), c.max);
    c.spin->setValue(c.min - 1000);
    EXPECT_EQ(c.box->text().toInt(), c.min);
    // At the end of its range an arrow changes nothing, not even a typed text.
    c.box->setText("12345");
    c.spin->downArrow()->click();
    EXPECT_EQ(c.box->text().toStdString(), "12345");
  }
}

TEST_F(SettingsControlsTest, BoxesTakeOnlyWhatTheSettingsRecordCanHold) {
  FrmMain& w = openMainWindow();
  for (QLineEdit* box : {w.hitsText, w.timeoutText, w.retryText}) {
    EXPECT_TRUE(accepts(box, "0123456789"));
    EXPECT_TRUE(accepts(box, ""));
    EXPECT_FALSE(accepts(box, "01234567890"));
    EXPECT_FALSE(accepts(box, "4a"));
    EXPECT_FALSE(accepts(box, "-5"));
    EXPECT_FALSE(accepts(box, " 5"));
  }
  // The proxy box takes Latin-1 text that fits the record.
  EXPECT_TRUE(accepts(w.proxyText, "proxy.example.com:8080"));
  EXPECT_TRUE(accepts(w.proxyText, QString::fromUtf8("h\xC3\xA9te")));
  EXPECT_FALSE(accepts(w.proxyText, QString::fromUtf8("\xE2\x82\xAC")));  // the euro sign
  EXPECT_FALSE(accepts(w.proxyText, QString::fromUtf8("\xE4\xB8\xAD")));
  EXPECT_TRUE(accepts(w.proxyText, QString(200, 'p')));
  EXPECT_FALSE(accepts(w.proxyText, QString(201, 'p')));

  // Whatever the boxes take, the settings record can be written.
  w.proxyText->setText(QString(200, QChar(0xFF)));
  for (QLineEdit* box : {w.hitsText, w.timeoutText, w.retryText}) box->setText("9999999999");
  EXPECT_EQ(settingsFitProblem(w.settingsFromControls()), std::nullopt);
}

// Each change is rewritten at once as the other data files are; the unknown
// entry stays.
TEST_F(SettingsControlsTest, OptionsComeFromTheOptionsFileAndAChangeIsStoredAtOnce) {
  const std::string file = "[Options]\nconnections=40\nkept=yes\nrobots=ignore\n";
  writeFile("qxoptions.ini", file);
  FrmMain& w = openMainWindow();
  EXPECT_EQ(w.connectionsSpin->value(), 16);  // out of range: the nearest end
  EXPECT_FALSE(w.optStandardLinks->isChecked());
  EXPECT_TRUE(w.optIgnoreRobots->isChecked());
  EXPECT_EQ(readFile("qxoptions.ini"), file);

  w.connectionsSpin->setValue(2);
  EXPECT_EQ(readFile("qxoptions.ini"),
            "[Options]\r\nkept=yes\r\nconnections=2\r\nrobots=ignore\r\n");
  w.optStandardLinks->click();
  w.optIgnoreRobots->click();
  EXPECT_EQ(readFile("qxoptions.ini"),
            "[Options]\r\nkept=yes\r\nconnections=2\r\nlinks=standard\r\nrobots=honour\r\n");
  const MainControls c = w.currentControls();
  EXPECT_TRUE(c.standardLinks && !c.ignoreRobots);
  form.reset();
  EXPECT_EQ(openMainWindow().connectionsSpin->value(), 2);
  EXPECT_TRUE(form->optStandardLinks->isChecked());
}

}  // namespace
}  // namespace quexa::testing
