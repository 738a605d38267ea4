// frmEngines, "Quexa - Web Engines": the user's own engines of
// qxengines.ini, in the style of the index editor. A name, an address (a
// template holding {searchTerms}, or the address of an OpenSearch
// description document) and a format make an engine; Remove takes the
// selected one away. Every refusal is a message box with its reason. On
// closing, the main window shows the engines' tick boxes afresh.
#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace quexa {

class FrmMain;

inline constexpr const char* kEnginesCaption = "Quexa - Web Engines";

class FrmEngines : public QDialog {
  Q_OBJECT

 public:
  explicit FrmEngines(FrmMain& main);

  QListWidget* engineList = nullptr;  // "name  (format)  address"
  QLineEdit* engineName = nullptr;
  QLineEdit* engineAddress = nullptr;
  QComboBox* engineFormat = nullptr;  // rss, atom, searxng-json
  QPushButton* engineAdd = nullptr;
  QPushButton* engineRemove = nullptr;
  QPushButton* engineClose = nullptr;

 public slots:
  void engineAdd_Click();
  void engineRemove_Click();

 private:
  void showEngines();
  void refuse(const std::string& why);

  FrmMain& main_;
};

}  // namespace quexa
