// The search-text boxes, the word list and its buttons, and the index choice.
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>

#include "data/index_file.h"
#include "frm_main.h"

namespace quexa {

WordList FrmMain::wordListEntries() const {
  std::vector<std::string> entries;
  entries.reserve(static_cast<size_t>(wordList->count()));
  for (int i = 0; i < wordList->count(); ++i)
    entries.push_back(wordList->item(i)->text().toStdString());
  WordList list;
  list.addAll(entries);
  return list;
}

void FrmMain::showWordList(const WordList& list) {
  wordList->clear();
  // One insertion of the whole list: the control lays itself out once, not
  // once an entry.
  QStringList items;
  items.reserve(static_cast<qsizetype>(list.entries().size()));
  for (const auto& entry : list.entries()) items.append(QString::fromStdString(entry));
  wordList->addItems(items);
}

void FrmMain::saveWordListNow() {
  saveWordList(state.dataDir, engineMode == 1, searchCat->currentText().toStdString(),
               wordListEntries().entries());
}

void FrmMain::searchAdd_Click() {
  guarded([&] {
    WordList list = wordListEntries();
    if (addSearchTexts(list, searchTexts())) showWordList(list);
    saveWordListNow();
  });
}

void FrmMain::searchCopy_Click() {
  bool allFull = false;
  QListWidgetItem* selected = wordList->currentItem();
  const std::string entry =
      selected != nullptr && selected->isSelected() ? selected->text().toStdString() : "";
  const int target = copyTargetBox(searchTexts(), entry, allFull);
  if (allFull) {
    window_->messageBox("Please delete the text in the field you want to copy to!",
                        "Copy Searching Text", MessageIcon::Exclamation, MessageButtons::Ok);
    return;
  }
  if (selected == nullptr || target < 0) return;
  searchText[static_cast<size_t>(target)]->setText(QString::fromStdString(entry));
}

void FrmMain::searchRemove_Click() {
  guarded([&] {
    QListWidgetItem* selected = wordList->currentItem();
    if (selected != nullptr && selected->isSelected()) delete selected;
    if (wordList->selectedItems().isEmpty()) {
      searchRemove->setEnabled(false);
      searchCopy->setEnabled(false);
    }
    saveWordListNow();
  });
}

void FrmMain::searchRemoveAll_Click() {
  guarded([&] {
    wordList->clear();
    searchRemove->setEnabled(false);
    searchCopy->setEnabled(false);
    saveWordListNow();
  });
}

void FrmMain::wordList_Click() {
  const bool selected = !wordList->selectedItems().isEmpty();
  searchRemove->setEnabled(selected);
  searchCopy->setEnabled(selected);
}

void FrmMain::searchText_Change() {
  bool anyText = false;
  for (QLineEdit* box : searchText) anyText = anyText || !box->text().isEmpty();
  searchAdd->setEnabled(anyText);
}

void FrmMain::searchText_LostFocus() {
  // The message box takes the focus away from the next box too; one check
  // at a time is enough.
  if (checkingBoxes_) return;
  checkingBoxes_ = true;
  std::array<std::string, 4> boxes = searchTexts();
  const std::array<bool, 4> singleLetter = trimBoxesAndFindSingleLetters(boxes);
  for (size_t i = 0; i < boxes.size(); ++i) {
    const QString trimmed = QString::fromStdString(boxes[i]);
    if (searchText[i]->text() != trimmed) searchText[i]->setText(trimmed);
    if (!singleLetter[i]) continue;
    window_->messageBox("Search of single letter is invalid!", "Invalid Single Letter",
                        MessageIcon::Critical, MessageButtons::Ok);
    searchText[i]->clear();
    searchText[i]->setFocus(Qt::OtherFocusReason);
  }
  checkingBoxes_ = false;
}

void FrmMain::searchCat_Click() {
  guarded([&] {
    const std::string name = searchCat->currentText().toStdString();
    const IndexChoice choice = chooseIndex(state.dataDir, name);
    // Without a name the texts are added to the list that is there.
    WordList list = choice.clearWordList ? WordList() : wordListEntries();
    list.addAll(choice.words);
    showWordList(list);
    if (choice.clearListCategory) listCategory->clear();
    if (choice.clearSearchBoxes)
      for (QLineEdit* box : searchText) box->clear();
    for (const auto& url : choice.urls) listCategory->addItem(QString::fromStdString(url));
  });
}

}  // namespace quexa
