#include "frm_dir.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <cstdlib>

#include "data/options_file.h"
#include "frm_main.h"

namespace quexa {

namespace {

QString qs(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::vector<std::string> itemsOf(const QListWidget* list) {
  std::vector<std::string> items;
  for (int i = 0; i < list->count(); ++i) items.push_back(list->item(i)->text().toStdString());
  return items;
}

std::vector<std::string> itemsOf(const QComboBox* box) {
  std::vector<std::string> items;
  for (int i = 0; i < box->count(); ++i) items.push_back(box->itemText(i).toStdString());
  return items;
}

template <typename List>
void fill(List* list, const std::vector<std::string>& items) {
  list->clear();
  for (const auto& item : items) list->addItem(qs(item));
}

QPushButton* makeButton(const char* caption, const char* toolTip, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setToolTip(toolTip);
  // Enter in a box never presses a button behind the user's back.
  button->setAutoDefault(false);
  return button;
}

// The editor's messages stand over the editor; everything else is the main
// window's. The main window's hooks answer here too, so that scripted runs
// and tests see every message of either window.
class EditorWindow : public Window {
 public:
  EditorWindow(QWidget& dialog, QtWindow& main) : dialog_(dialog), main_(main) {}

  void setStatus(std::string_view text) override { main_.setStatus(text); }
  void setResultLabel(std::string_view text) override { main_.setResultLabel(text); }
  void setEnabled(Control control, bool enabled) override { main_.setEnabled(control, enabled); }
  void setSearchFrameVisible(bool visible) override { main_.setSearchFrameVisible(visible); }
  void setLampBusy(bool busy) override { main_.setLampBusy(busy); }
  void setBusyCursor(bool busy) override { main_.setBusyCursor(busy); }
  void beep() override { main_.beep(); }
  ErrorAnswer errorDialog(std::string_view text) override { return main_.errorDialog(text); }
  [[noreturn]] void abortProgram() override {
    main_.abortProgram();
    std::_Exit(1);  // an override of the main window's might return
  }
  void addNode(const NodeSpec& node) override { main_.addNode(node); }
  void makeVisible(std::string_view key) override { main_.makeVisible(key); }
  void clearTree() override { main_.clearTree(); }
  void clearPane(Pane pane) override { main_.clearPane(pane); }
  void resetPane(Pane pane) override { main_.resetPane(pane); }
  void insertRtf(Pane pane, std::string_view rtf) override { main_.insertRtf(pane, rtf); }

  MessageAnswer messageBox(std::string_view text, std::string_view title, MessageIcon icon,
                           MessageButtons buttons) override {
    if (main_.messageHook) return main_.messageHook(text, title, icon, buttons);
    return showMessageBox(&dialog_, text, title, icon, buttons);
  }

 private:
  QWidget& dialog_;
  QtWindow& main_;
};

}  // namespace

FrmDir::FrmDir(FrmMain& main)
    : QDialog(&main),
      main_(main),
      window_(std::make_unique<EditorWindow>(*this, main.window())),
      editor_(main.state.dataDir, *window_, lists_) {
  setWindowTitle(kDirCaption);
  setModal(true);
  createControls();
  arrangeControls();
  connectHandlers();
  run([&] {
    editor_.formLoad();
    editor_.acceptHttps = loadOptions(main_.state.dataDir).standardLinks;
  });
}

FrmDir::~FrmDir() = default;

void FrmDir::createControls() {
  dirCat = new QComboBox(this);
  dirCat->setEditable(true);
  // A typed name becomes an index only when it is saved.
  dirCat->setInsertPolicy(QComboBox::NoInsert);
  // The name is exactly what the person typed: completing "Work" to an
  // existing "Workshop" would save over an index nobody named.
  dirCat->setCompleter(nullptr);
  dirCat->setToolTip("Enter the name for the new index");
  dirList = new QListWidget(this);
  dirList->setToolTip("URL list");
  dirList->setSelectionMode(QAbstractItemView::SingleSelection);
  Label2 = new QLabel("Enter URL:", this);
  textURL = new QLineEdit(this);
  textURL->setToolTip("Enter your URL");
  Label2->setBuddy(textURL);
  dirAdd = makeButton("&Add", "Add URL", this);
  dirDel = makeButton("&Remove ", "Delete selected URL", this);
  dirNew = makeButton("&New", "Create a new index.", this);
  dirOK = makeButton("&OK", "Accept changes to the existing index", this);
  dirCancel = makeButton("&Cancel", "Undo any changes to the existing index", this);
}

void FrmDir::arrangeControls() {
  auto* grid = new QGridLayout;
  grid->addWidget(dirCat, 0, 0, 1, 2);
  grid->addWidget(dirNew, 0, 2);
  grid->addWidget(dirList, 1, 0, 2, 2);
  grid->addWidget(dirDel, 1, 2, Qt::AlignTop);
  grid->addWidget(Label2, 3, 0);
  grid->addWidget(textURL, 3, 1);
  grid->addWidget(dirAdd, 3, 2);
  grid->setRowStretch(2, 1);
  grid->setColumnStretch(1, 1);

  auto* answers = new QHBoxLayout;
  answers->addStretch(1);
  answers->addWidget(dirOK);
  answers->addWidget(dirCancel);

  auto* whole = new QVBoxLayout(this);
  whole->addLayout(grid);
  whole->addSpacing(6);
  whole->addLayout(answers);
  for (QPushButton* button : {dirAdd, dirDel, dirNew, dirOK, dirCancel})
    button->setMinimumWidth(90);
  setFixedSize(460, 340);
}

void FrmDir::connectHandlers() {
  connect(dirCat, &QComboBox::activated, this, &FrmDir::dirCat_Click);
  connect(dirCat, &QComboBox::editTextChanged, this, [this](const QString& text) {
    if (!showing_) editor_.dirCatText = text.toStdString();
  });
  connect(textURL, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (!showing_) editor_.textURL = text.toStdString();
  });
  connect(textURL, &QLineEdit::returnPressed, this, &FrmDir::dirAdd_Click);
  connect(dirList, &QListWidget::itemSelectionChanged, this, &FrmDir::dirList_Click);
  connect(dirAdd, &QPushButton::clicked, this, &FrmDir::dirAdd_Click);
  connect(dirDel, &QPushButton::clicked, this, &FrmDir::dirDel_Click);
  connect(dirNew, &QPushButton::clicked, this, &FrmDir::dirNew_Click);
  connect(dirOK, &QPushButton::clicked, this, &FrmDir::dirOK_Click);
  connect(dirCancel, &QPushButton::clicked, this, &FrmDir::dirCancel_Click);
}

void FrmDir::run(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& failure) {
    window_->messageBox(failure.what(), "Operation Error", MessageIcon::Critical,
                        MessageButtons::Ok);
  }
  showEditor();
}

void FrmDir::showEditor() {
  showing_ = true;
  if (itemsOf(dirCat) != editor_.dirCat) fill(dirCat, editor_.dirCat);
  if (dirCat->currentText().toStdString() != editor_.dirCatText)
    dirCat->setEditText(qs(editor_.dirCatText));
  if (itemsOf(dirList) != editor_.dirList) fill(dirList, editor_.dirList);
  if (editor_.dirListSelected >= 0) {
    dirList->setCurrentRow(editor_.dirListSelected);
  } else {
    dirList->clearSelection();
    dirList->setCurrentRow(-1);
  }
  if (textURL->text().toStdString() != editor_.textURL) textURL->setText(qs(editor_.textURL));
  dirNew->setEnabled(editor_.dirNewEnabled);
  dirDel->setEnabled(editor_.dirDelEnabled);
  showing_ = false;
}

void FrmDir::dirCat_Click(int index) {
  if (index < 0) return;
  const std::string name = dirCat->itemText(index).toStdString();
  run([&] { editor_.dirCatClick(name); });
}

void FrmDir::dirNew_Click() {
  run([&] { editor_.dirNewClick(); });
}

void FrmDir::dirAdd_Click() {
  run([&] { editor_.dirAddClick(); });
}

void FrmDir::dirList_Click() {
  if (showing_) return;
  const bool selected = !dirList->selectedItems().isEmpty();
  const int row = selected ? dirList->currentRow() : -1;
  run([&] { editor_.dirListClick(row); });
}

void FrmDir::dirDel_Click() {
  run([&] { editor_.dirDelClick(); });
}

void FrmDir::dirCancel_Click() {
  run([&] { editor_.dirCancelClick(); });
  if (editor_.closed) reject();
}

void FrmDir::dirOK_Click() {
  lists_ = mainWindowLists();
  const MainWindowLists before = lists_;
  run([&] { editor_.dirOkClick(); });
  showInMainWindow(before, lists_);
  if (editor_.closed) accept();
}

MainWindowLists FrmDir::mainWindowLists() const {
  MainWindowLists lists;
  lists.searchCat = itemsOf(main_.searchCat);
  lists.searchCatText = main_.searchCat->currentText().toStdString();
  lists.listCategory = itemsOf(main_.listCategory);
  lists.wordList = main_.wordListEntries();
  lists.searchText = main_.searchTexts();
  return lists;
}

// Only what the editor changed is written, so that the main window's
// handlers see no change that did not happen.
void FrmDir::showInMainWindow(const MainWindowLists& before, const MainWindowLists& after) {
  QComboBox* searchCat = main_.searchCat;
  if (after.searchCat != before.searchCat) fill(searchCat, after.searchCat);
  if (after.searchCat != before.searchCat || after.searchCatText != before.searchCatText) {
    // The saved name was put at the end: the last entry of that name is it.
    int chosen = -1;
    for (int i = searchCat->count() - 1; i >= 0 && !after.searchCatText.empty(); --i)
      if (searchCat->itemText(i).toStdString() == after.searchCatText) {
        chosen = i;
        break;
      }
    searchCat->setCurrentIndex(chosen);
  }
  if (after.listCategory != before.listCategory) fill(main_.listCategory, after.listCategory);
  if (after.wordList.entries() != before.wordList.entries()) main_.showWordList(after.wordList);
  for (size_t i = 0; i < after.searchText.size(); ++i)
    if (after.searchText[i] != before.searchText[i])
      main_.searchText[i]->setText(qs(after.searchText[i]));
  if (after.frameMineRedrawn) main_.frameMine->update();
}

// --- the main window's "&Index" ---

void FrmMain::buttonIndex_Click() {
  // Every opening starts afresh; the main window waits until it closes.
  FrmDir editor(*this);
  editor.exec();
}

}  // namespace quexa
