// The results side of frmMain: the page view of a tree node, "Search Web
// Site", "&Found", the tab switch, "&View", "&Print" and "Sa&ve".
#include <QDesktopServices>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextEdit>
#include <QTreeWidget>
#include <QUrl>
#include <optional>
#include <utility>

#include "app/error_policy.h"
#include "app/search_frame.h"
#include "frm_main.h"
#include "main_layout.h"
#include "pane_turn.h"
#include "print_save.h"
#include "results/entry_lookup.h"
#include "results/page_view.h"
#include "results/pane_handlers.h"
#include "search/linked_search.h"
#include "search_tools.h"

namespace quexa {

namespace {

constexpr const char* kSelectPageText = "You must select a Web page to view!";
constexpr const char* kSelectPageTitle = "Select File";
constexpr const char* kSaveDialogTitle = "Save search result";
constexpr const char* kSaveFilter = "RTF File (*.rtf)";

QString qs(const std::string& text) {
  return QString::fromStdString(text);
}

// "&Print" and "Sa&ve" act on the pane of the tab that is shown.
QTextEdit* shownPane(const FrmMain& form) {
  return form.dispTab->currentIndex() == static_cast<int>(ResultTab::EachWebSite)
             ? form.dispResult
             : form.allWebResult;
}

bool showPrinterDialog(QWidget* parent, QPrinter& printer, bool selectionChosen) {
  QPrintDialog dialog(&printer, parent);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, selectionChosen);
  if (selectionChosen) printer.setPrintRange(QPrinter::Selection);
  return dialog.exec() == QDialog::Accepted;
}

QString showSaveDialog(QWidget* parent) {
  QFileDialog dialog(parent, kSaveDialogTitle);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilter(kSaveFilter);
  dialog.setDefaultSuffix("rtf");
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front();
}

// A command under its error table: the dialog's Ignore and every error
// without a message end it quietly.
template <typename Step>
void runCommandStep(Window& window, ErrorTable table, Step&& step) {
  try {
    runStep(window, table, std::forward<Step>(step));
  } catch (const SearchEnd&) {
  }
}

}  // namespace

void FrmMain::outlineFile_NodeClick(QTreeWidgetItem* node) {
  if (node == nullptr) return;
  // Read before the view yields to the event loop.
  const std::string key = QtWindow::keyOf(node);
  const bool hasChildren = node->childCount() > 0;
  // The stop-first guard refuses a click while a search or view runs; the
  // highlight then goes back to the node whose page is shown.
  const bool refused = state.searchRunning == 1;
  if (!refused) shownNodeKey_ = key;
  guarded([&] {
    SearchTools tools(connectionsSpin->value());
    const LentFetcher lent(activeFetcher_, tools.fetcher);
    ResultTools results{state, *window_, tools.fetcher, tools.pump, tools.matcher};
    quexa::outlineFile_NodeClick(results, currentControls(), key, hasChildren);
  });
  if (!refused) return;
  QTreeWidgetItem* shown = window_->node(shownNodeKey_);
  outlineFile->setCurrentItem(shown);
  if (shown == nullptr) outlineFile->clearSelection();
}

void FrmMain::searchPage_Click() {
  guarded([&] {
    SearchTools tools(connectionsSpin->value());
    const LentFetcher lent(activeFetcher_, tools.fetcher);
    ResultTools results{state, *window_, tools.fetcher, tools.pump, tools.matcher};
    quexa::searchPage_Click(results, currentControls());
  });
  window_->revealLastNode();
  focusResults();
}

void FrmMain::viewPrev_Click() {
  quexa::viewPrev_Click(*window_);
}

void FrmMain::dispTab_Click(int index) {
  // The results view is laid out again for the tab (main_layout.h); then the
  // label follows the tab that is shown.
  layOutResultTab(*this, index);
  quexa::dispTab_Click(state, *window_, frameMine->isEnabled(), static_cast<ResultTab>(index));
}

void FrmMain::buttonView_Click() {
  if (!stopFirstGuard(state, *window_)) return;
  // On the page tab the page is the tree's selection; on the all-results
  // tab it is the entry under the caret, when one can be read.
  if (dispTab->currentIndex() == static_cast<int>(ResultTab::AllWebSites)) {
    const EntryLayout layout = frameMine->isEnabled() ? EntryLayout::Site : EntryLayout::Hit;
    state.selectedPageUrl = pickEntryUrl(allWebResult->toPlainText().toStdString(),
                                         static_cast<size_t>(allWebResult->textCursor().position()),
                                         layout, state.selectedPageUrl);
  }
  if (state.selectedPageUrl.empty()) {
    window_->beep();
    window_->messageBox(kSelectPageText, kSelectPageTitle, MessageIcon::Critical,
                        MessageButtons::Ok);
    return;
  }
  const QUrl url(qs(state.selectedPageUrl));
  const bool opened =
      resultHooks.openUrl ? resultHooks.openUrl(url) : QDesktopServices::openUrl(url);
  if (!opened) window_->reportNotOpened(state.selectedPageUrl);
}

void FrmMain::searchPrint_Click() {
  QTextEdit* pane = shownPane(*this);
  endPaneTurn(pane);
  QPrinter printer(QPrinter::HighResolution);
  // A selection only decides how the dialog opens; the whole text is printed.
  const bool selectionChosen = pane->textCursor().hasSelection();
  const bool chosen = resultHooks.choosePrinter
                          ? resultHooks.choosePrinter(printer, selectionChosen)
                          : showPrinterDialog(this, printer, selectionChosen);
  if (!chosen) return;
  runCommandStep(*window_, ErrorTable::Print, [&] { printDocument(*pane->document(), printer); });
}

void FrmMain::searchSave_Click() {
  QTextEdit* pane = shownPane(*this);
  endPaneTurn(pane);
  const QString file =
      resultHooks.chooseSaveFile ? resultHooks.chooseSaveFile() : showSaveDialog(this);
  if (file.isEmpty()) return;
  // A refused save names itself and its file instead of a table row, in the
  // same dialog with the same Retry, Ignore and Abort.
  for (;;) {
    std::optional<std::string> refused;
    runCommandStep(*window_, ErrorTable::Save, [&] {
      try {
        saveDocumentRtf(*pane->document(), file.toStdString());
      } catch (const SaveRefused& refusal) {
        refused = refusal.what();
      }
    });
    if (!refused) return;
    switch (window_->errorDialog(errorDialogText(*refused, kPermissionDeniedNumber))) {
      case ErrorAnswer::Retry:
        continue;
      case ErrorAnswer::Ignore:
        return;
      case ErrorAnswer::Abort:
        window_->abortProgram();
    }
  }
}

}  // namespace quexa
