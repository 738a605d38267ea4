// frmDir, the index editor "Quexa - Change Index": a modal window over the
// core IndexEditor. The controls copy the user's typing into the editor, the
// handlers run its methods, and the window then shows the editor's state;
// when the editor saves, the main window's index box, address list, word
// list and search boxes follow.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>

#include "data/index_editor.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace quexa {

class FrmMain;

inline constexpr const char* kDirCaption = "Quexa - Change Index";

class FrmDir : public QDialog {
  Q_OBJECT

 public:
  // Form_Load: reads the index names of the main window's data directory.
  explicit FrmDir(FrmMain& main);
  ~FrmDir() override;

  QComboBox* dirCat = nullptr;  // the name box, sorted, editable
  QListWidget* dirList = nullptr;
  QLabel* Label2 = nullptr;  // "Enter URL:"
  QLineEdit* textURL = nullptr;
  QPushButton* dirAdd = nullptr;
  QPushButton* dirDel = nullptr;
  QPushButton* dirNew = nullptr;
  QPushButton* dirOK = nullptr;
  QPushButton* dirCancel = nullptr;

  const IndexEditor& editor() const { return editor_; }

 public slots:
  void dirCat_Click(int index);
  void dirNew_Click();
  void dirAdd_Click();
  void dirList_Click();
  void dirDel_Click();
  void dirOK_Click();
  void dirCancel_Click();

 private:
  void createControls();
  void arrangeControls();
  void connectHandlers();
  // Runs a handler of the editor, then shows its state; a failure of the
  // data files is reported instead of leaving the handler.
  void run(const std::function<void()>& handler);
  void showEditor();
  MainWindowLists mainWindowLists() const;
  void showInMainWindow(const MainWindowLists& before, const MainWindowLists& after);

  FrmMain& main_;
  std::unique_ptr<Window> window_;
  MainWindowLists lists_;
  IndexEditor editor_;
  bool showing_ = false;  // the window is being updated from the editor
};

}  // namespace quexa
