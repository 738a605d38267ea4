// The result window of the searches over the real controls of frmMain:
// status line, lamp, command buttons, message boxes, the result tree and the
// two rich-text panes.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "app/window.h"

class QIcon;
class QTimer;
class QWidget;
class QTextEdit;
class QTreeWidgetItem;

namespace quexa {

class FrmMain;

inline constexpr const char* kNotOpenedTitle = "Cannot Open";

// A modal message box over the given window, with the icon and buttons asked
// for; the answer as a Window gives it.
MessageAnswer showMessageBox(QWidget* over, std::string_view text, std::string_view title,
                             MessageIcon icon, MessageButtons buttons);

class QtWindow : public Window {
 public:
  explicit QtWindow(FrmMain& form);

  // When set, these answer instead of the modal boxes (tests, scripted runs).
  std::function<MessageAnswer(std::string_view text, std::string_view title, MessageIcon icon,
                              MessageButtons buttons)>
      messageHook;
  std::function<ErrorAnswer(std::string_view text)> errorHook;
  std::function<void()> beepHook;

  void setStatus(std::string_view text) override;
  void setResultLabel(std::string_view text) override;
  void setEnabled(Control control, bool enabled) override;
  void setSearchFrameVisible(bool visible) override;
  void setLampBusy(bool busy) override;
  void setBusyCursor(bool busy) override;
  void beep() override;
  MessageAnswer messageBox(std::string_view text, std::string_view title, MessageIcon icon,
                           MessageButtons buttons) override;
  ErrorAnswer errorDialog(std::string_view text) override;
  [[noreturn]] void abortProgram() override;
  void refresh() override;

  // The quiet report: a status-bar field "N pages could not be fetched"
  // whose tool tip lists each address with its reason; hidden while empty.
  void reportUnfetched(std::string_view url, std::string_view reason) override;
  void clearUnfetched() override;
  const std::vector<std::pair<std::string, std::string>>& unfetched() const { return unfetched_; }

  // "&View" and "&Help" when no program opened the address: a message box
  // that keeps the address selectable for copying.
  void reportNotOpened(std::string_view address);

  void addNode(const NodeSpec& node) override;
  void makeVisible(std::string_view key) override;
  void clearTree() override;

  void clearPane(Pane pane) override;
  void resetPane(Pane pane) override;
  void insertRtf(Pane pane, std::string_view rtf) override;

  // The tree node of a key, or nullptr; and the key of a node.
  QTreeWidgetItem* node(std::string_view key) const;
  static std::string keyOf(const QTreeWidgetItem* node);
  // The tree's pictures: "closed", "open" and "leaf".
  static QIcon image(std::string_view name);
  // A node shows its expanded picture while it is open.
  static void showNodeImage(QTreeWidgetItem* node, bool expanded);

  // The node added last scrolled into view with its parents expanded, so
  // the end of a search shows where its results are.
  void revealLastNode();

 private:
  QTextEdit* pane(Pane pane) const;
  void showUnfetched();
  void scrollToLastAsked();

  FrmMain& form_;
  std::unordered_map<std::string, QTreeWidgetItem*> nodes_;
  // The node to scroll to when the timer runs out.
  std::string scrollKey_;
  QTimer* scrollTimer_;
  std::chrono::steady_clock::time_point lastScroll_{};
  std::string lastKey_;
  std::vector<std::pair<std::string, std::string>> unfetched_;
  bool cursorOverridden_ = false;
};

}  // namespace quexa
