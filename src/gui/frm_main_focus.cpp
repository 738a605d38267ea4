// frmMain and the keyboard: the tab order, where the focus goes after a
// search, and the number boxes a start needs filled.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextEdit>
#include <QTreeWidget>
#include <string>
#include <vector>

#include "app/search_frame.h"
#include "frm_main.h"
#include "main_layout.h"
#include "results/pane_handlers.h"

namespace quexa {

void FrmMain::setTabOrderByPlace() {
  // Each search box is followed by its connector to the next box, then the
  // word list beside them, the three frames left to right, the result tabs
  // (which stand where the set-up view is) and the two rows of commands.
  std::vector<QWidget*> order;
  const std::array<QRadioButton*, 3>* connectors[] = {&Opt1, &Opt2, &Opt3};
  for (size_t i = 0; i < searchText.size(); ++i) {
    order.push_back(searchText[i]);
    if (i < 3) order.insert(order.end(), connectors[i]->begin(), connectors[i]->end());
  }
  order.insert(
      order.end(),
      {searchAdd,    searchCopy,    wordList,        searchRemove, searchRemoveAll, searchCat,
       listCategory, buttonIndex,   connectionsSpin, chk_yahoo,    chk_lycos,       chk_infoseek,
       chk_excite,   chk_altavista, optCase,         optSearchAll, proxyText,       timeoutText,
       retryText,    hitsText,      dispTab,         allWebResult, outlineFile,     dispResult,
       searchPage,   searchNow,     searchStop,      searchConfig, viewPrev,        searchPrint,
       searchSave,   buttonView,    buttonMine,      buttonEngine, buttonTimer,     helpCfg,
       stExit});
  for (size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

void FrmMain::focusResults() {
  if (dispTab->currentIndex() == static_cast<int>(ResultTab::EachWebSite)) {
    if (outlineFile->currentItem() == nullptr && outlineFile->topLevelItemCount() > 0)
      outlineFile->setCurrentItem(outlineFile->topLevelItem(0), 0, QItemSelectionModel::NoUpdate);
    outlineFile->setFocus(Qt::OtherFocusReason);
  } else {
    allWebResult->setFocus(Qt::OtherFocusReason);
  }
}

bool FrmMain::numberBoxesFilled() {
  struct NumberBox {
    QLineEdit* box;
    const char* name;
    SpinRange range;
  };
  for (const NumberBox& n :
       {NumberBox{timeoutText, "Timeout", kTimeoutSpin}, NumberBox{retryText, "Retry", kRetrySpin},
        NumberBox{hitsText, "Maximum Sites", kHitsSpin}}) {
    if (!n.box->text().isEmpty()) continue;
    // Refused like the other start checks: nothing starts, nothing changes
    // but the status line.
    window_->setStatus(kStatusInitializing);
    window_->messageBox("You must enter a number from " + std::to_string(n.range.min) + " to " +
                            std::to_string(n.range.max) + " in " + n.name + "!",
                        "Number Missing", MessageIcon::Critical, MessageButtons::Ok);
    n.box->setFocus(Qt::OtherFocusReason);
    return false;
  }
  return true;
}

}  // namespace quexa
