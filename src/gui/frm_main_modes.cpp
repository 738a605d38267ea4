// The two search modes and the way back from the results to the set-up view.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "data/index_file.h"
#include "frm_main.h"

namespace quexa {

namespace {

void emptySearchBoxes(FrmMain& form) {
  for (QLineEdit* box : form.searchText) box->clear();
}

// The lists of the old mode and every result go; the ticks of the engine
// boxes stay.
void clearListsAndResults(FrmMain& form) {
  form.wordList->clear();
  form.listCategory->clear();
  form.searchCat->clear();
  form.window().clearPane(Pane::All);
  form.window().clearPane(Pane::Page);
  form.window().clearTree();
}

}  // namespace

void FrmMain::buttonMine_Click() {
  applyModeFrames(true);
  emptySearchBoxes(*this);
  mineMode = 1;
  engineMode = 0;
  clearListsAndResults(*this);
  guarded([&] {
    for (const auto& name : loadIndexNames(state.dataDir))
      searchCat->addItem(QString::fromStdString(name));
    searchCat->setCurrentIndex(-1);  // no index chosen
  });
}

void FrmMain::buttonEngine_Click() {
  applyModeFrames(false);
  emptySearchBoxes(*this);
  searchCat->setCurrentIndex(-1);
  clearListsAndResults(*this);
  mineMode = 0;
  engineMode = 1;
  guarded([&] {
    WordList list;
    list.addAll(loadEngineWordList(state.dataDir));
    showWordList(list);
  });
}

void FrmMain::searchConfig_Click() {
  searchNow->setEnabled(true);
  viewPrev->setEnabled(true);
  for (QPushButton* button : {searchConfig, searchStop, searchSave, searchPrint})
    button->setEnabled(false);
  frameSearch->show();
  buttonMine->setEnabled(true);
  buttonEngine->setEnabled(true);
  buttonIndex->setEnabled(frameMine->isEnabled());
  buttonTimer->setEnabled(true);
  // The next search starts with an empty tree and page pane.
  state.resetResults = 1;
}

}  // namespace quexa
