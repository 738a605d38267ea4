#include "qt_window.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <cstdlib>

#include "app/errors.h"
#include "frm_main.h"
#include "main_layout.h"
#include "result_pane.h"

namespace quexa {

namespace {
QString qs(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Where a node keeps its key and the names of its pictures.
constexpr int kKeyRole = Qt::UserRole;
constexpr int kImageRole = Qt::UserRole + 1;
constexpr int kExpandedImageRole = Qt::UserRole + 2;

QMessageBox::Icon boxIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Critical:
      return QMessageBox::Critical;
    case MessageIcon::Exclamation:
      return QMessageBox::Warning;
    case MessageIcon::Information:
      return QMessageBox::Information;
  }
  return QMessageBox::NoIcon;
}
}  // namespace

namespace {
// A hidden tree is laid out whole again for every scroll (a visible one
// once a turn anyway); while hidden it scrolls at most this often.
constexpr std::chrono::milliseconds kHiddenScrollGap{250};
}  // namespace

QtWindow::QtWindow(FrmMain& form) : form_(form), scrollTimer_(new QTimer(&form)) {
  scrollTimer_->setSingleShot(true);
  QObject::connect(scrollTimer_, &QTimer::timeout, &form_, [this] { scrollToLastAsked(); });
}

MessageAnswer showMessageBox(QWidget* over, std::string_view text, std::string_view title,
                             MessageIcon icon, MessageButtons buttons) {
  const auto standard = buttons == MessageButtons::YesNo
                            ? QMessageBox::Yes | QMessageBox::No
                            : QMessageBox::StandardButtons(QMessageBox::Ok);
  QMessageBox box(boxIcon(icon), qs(title), qs(text), standard, over);
  const int answer = box.exec();
  if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
  return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

void QtWindow::setStatus(std::string_view text) {
  form_.dispFile->setText(qs(text));
}

void QtWindow::setResultLabel(std::string_view text) {
  form_.lblResult->setText(qs(text));
}

void QtWindow::setEnabled(Control control, bool enabled) {
  form_.commandButton(control)->setEnabled(enabled);
}

void QtWindow::setSearchFrameVisible(bool visible) {
  form_.frameSearch->setVisible(visible);
}

void QtWindow::setLampBusy(bool busy) {
  if (busy) {
    form_.ImageRed->hide();
    form_.ImageGreen->show();
    form_.busyTimer->start();
  } else {
    form_.ImageGreen->hide();
    form_.busyTimer->stop();
    form_.ImageRed->show();
  }
}

void QtWindow::setBusyCursor(bool busy) {
  // Stop and the end of a search may both ask; the override is set once.
  if (busy == cursorOverridden_) return;
  cursorOverridden_ = busy;
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

void QtWindow::beep() {
  if (beepHook)
    beepHook();
  else
    QApplication::beep();
}

MessageAnswer QtWindow::messageBox(std::string_view text, std::string_view title, MessageIcon icon,
                                   MessageButtons buttons) {
  if (messageHook) return messageHook(text, title, icon, buttons);
  return showMessageBox(&form_, text, title, icon, buttons);
}

ErrorAnswer QtWindow::errorDialog(std::string_view text) {
  if (errorHook) return errorHook(text);
  QMessageBox box(QMessageBox::Critical, "Operation Error", qs(text),
                  QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore, &form_);
  switch (box.exec()) {
    case QMessageBox::Abort:
      return ErrorAnswer::Abort;
    case QMessageBox::Retry:
      return ErrorAnswer::Retry;
    default:
      return ErrorAnswer::Ignore;  // also the close box
  }
}

void QtWindow::abortProgram() {
  std::_Exit(1);
}

void QtWindow::refresh() {
  form_.repaint();
}

void QtWindow::addNode(const NodeSpec& request) {
  if (nodes_.count(request.key) != 0)
    throw QuexaError(ErrorKind::Other, "the result tree already holds the key " + request.key);
  QTreeWidgetItem* parent = nullptr;
  if (request.parentKey) {
    parent = node(*request.parentKey);
    if (parent == nullptr)
      throw QuexaError(ErrorKind::Other, "the result tree has no node " + *request.parentKey);
  }
  // The node is complete before it joins the tree: each change of a node in
  // the tree makes the tree look at its rows again.
  auto* item = new QTreeWidgetItem();
  item->setText(0, qs(request.text));
  // Long addresses are cut off at the tree's edge; the tip shows them whole.
  item->setToolTip(0, qs(request.text));
  item->setData(0, kKeyRole, qs(request.key));
  item->setData(0, kImageRole, qs(request.image));
  if (request.expandedImage) item->setData(0, kExpandedImageRole, qs(*request.expandedImage));
  showNodeImage(item, false);
  if (parent != nullptr)
    parent->addChild(item);
  else
    form_.outlineFile->addTopLevelItem(item);
  nodes_.emplace(request.key, item);
  lastKey_ = request.key;
}

void QtWindow::revealLastNode() {
  if (!lastKey_.empty()) makeVisible(lastKey_);
}

void QtWindow::makeVisible(std::string_view key) {
  QTreeWidgetItem* item = node(key);
  if (item == nullptr) return;
  for (QTreeWidgetItem* p = item->parent(); p != nullptr; p = p->parent())
    if (!p->isExpanded()) p->setExpanded(true);
  // Scrolling lays the whole tree out again, so with a node made visible
  // after every hit a long run would cost the square of its hits. The
  // scroll waits for the window's next turn at its events and goes to the
  // last node asked for by then; the person sees the same.
  scrollKey_ = std::string(key);
  std::chrono::milliseconds wait{0};
  if (!form_.outlineFile->isVisible()) {
    const auto since = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - lastScroll_);
    wait = std::max(std::chrono::milliseconds{0}, kHiddenScrollGap - since);
  }
  if (scrollTimer_->isActive() && scrollTimer_->remainingTimeAsDuration() <= wait) return;
  scrollTimer_->start(wait);
}

void QtWindow::scrollToLastAsked() {
  lastScroll_ = std::chrono::steady_clock::now();
  if (QTreeWidgetItem* last = node(scrollKey_)) form_.outlineFile->scrollToItem(last);
}

void QtWindow::clearTree() {
  form_.outlineFile->clear();
  nodes_.clear();
  scrollKey_.clear();
  lastKey_.clear();
}

void QtWindow::reportUnfetched(std::string_view url, std::string_view reason) {
  unfetched_.emplace_back(url, reason);
  showUnfetched();
}

void QtWindow::clearUnfetched() {
  if (unfetched_.empty()) return;
  unfetched_.clear();
  showUnfetched();
}

void QtWindow::showUnfetched() {
  QLabel* field = form_.lblUnfetched;
  if (unfetched_.empty()) {
    field->clear();
    field->setToolTip({});
    field->hide();
  } else {
    const size_t n = unfetched_.size();
    field->setText(QString::number(n) + (n == 1 ? " page" : " pages") + " could not be fetched");
    QString tip = "<p style='white-space:pre'>";
    for (size_t i = 0; i < n; ++i) {
      if (i > 0) tip += "<br>";
      tip += qs(unfetched_[i].first).toHtmlEscaped() + " \u2014 " +
             qs(unfetched_[i].second).toHtmlEscaped();
    }
    field->setToolTip(tip + "</p>");
    field->show();
  }
  placeStatusFields(form_);
}

void QtWindow::reportNotOpened(std::string_view address) {
  const std::string text = "No program could open this address:\n" + std::string(address);
  if (messageHook) {
    messageHook(text, kNotOpenedTitle, MessageIcon::Exclamation, MessageButtons::Ok);
    return;
  }
  QMessageBox box(QMessageBox::Warning, kNotOpenedTitle, qs(text), QMessageBox::Ok, &form_);
  // The person can copy the address and open it by hand.
  box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  box.exec();
}

QTreeWidgetItem* QtWindow::node(std::string_view key) const {
  auto found = nodes_.find(std::string(key));
  return found == nodes_.end() ? nullptr : found->second;
}

std::string QtWindow::keyOf(const QTreeWidgetItem* node) {
  return node == nullptr ? std::string() : node->data(0, kKeyRole).toString().toStdString();
}

QIcon QtWindow::image(std::string_view name) {
  // The style reads its pictures from compressed images each time it is
  // asked; a long search asks once per node. The three are kept for the
  // style that drew them.
  struct Pictures {
    const QStyle* style = nullptr;
    QIcon closed, open, leaf;
  };
  // Never destroyed: pictures must not outlive the application object.
  static Pictures& kept = *new Pictures;
  QStyle* style = QApplication::style();
  if (kept.style != style) {
    kept.style = style;
    kept.closed = style->standardIcon(QStyle::SP_DirClosedIcon);
    kept.open = style->standardIcon(QStyle::SP_DirOpenIcon);
    kept.leaf = style->standardIcon(QStyle::SP_FileIcon);
  }
  if (name == "closed") return kept.closed;
  if (name == "open") return kept.open;
  if (name == "leaf") return kept.leaf;
  return {};
}

void QtWindow::showNodeImage(QTreeWidgetItem* node, bool expanded) {
  QString name = node->data(0, kImageRole).toString();
  const QString open = node->data(0, kExpandedImageRole).toString();
  if (expanded && !open.isEmpty()) name = open;
  node->setIcon(0, image(name.toStdString()));
}

QTextEdit* QtWindow::pane(Pane pane) const {
  return pane == Pane::All ? form_.allWebResult : form_.dispResult;
}

void QtWindow::clearPane(Pane which) {
  clearPaneText(pane(which));
}

void QtWindow::resetPane(Pane which) {
  resetPaneText(pane(which));
}

void QtWindow::insertRtf(Pane which, std::string_view rtf) {
  insertPaneRtf(pane(which), rtf);
}

}  // namespace quexa
