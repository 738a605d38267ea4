// Shared set-up of the window tests: one QApplication on the offscreen
// platform for the whole program, a fresh data directory as the current
// directory, and a main window whose message boxes and ending are recorded.
// It brings the main window's controls, which every window test reads.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/settings.h"
#include "frm_main.h"

namespace quexa::testing {

inline QApplication& qtApp() {
  static int argc = 1;
  static char name[] = "test_gui";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    auto* created = new QApplication(argc, argv);
    // The tests close windows one after another; the application stays.
    created->setQuitOnLastWindowClosed(false);
    return created;
  }();
  return *app;
}

struct ShownMessage {
  std::string text;
  std::string title;
  MessageIcon icon;
  MessageButtons buttons = MessageButtons::Ok;
  bool operator==(const ShownMessage&) const = default;
};

inline void PrintTo(const ShownMessage& m, std::ostream* out) {
  *out << "\"" << m.text << "\" / \"" << m.title << "\" icon " << static_cast<int>(m.icon)
       << " buttons " << static_cast<int>(m.buttons);
}

class GuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qtApp();
    previous_ = std::filesystem::current_path();
    dir_ = std::filesystem::temp_directory_path() /
           ("quexa_gui_" + std::to_string(::getpid()) + "_" + std::to_string(++counter_));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    std::filesystem::current_path(dir_);
  }

  void TearDown() override {
    form.reset();
    std::filesystem::current_path(previous_);
    std::filesystem::remove_all(dir_);
  }

  // The window, loaded in the current directory like the program does.
  FrmMain& openMainWindow() {
    form = std::make_unique<FrmMain>();
    form->window().messageHook = [this](std::string_view text, std::string_view title,
                                        MessageIcon icon, MessageButtons buttons) {
      messages.push_back({std::string(text), std::string(title), icon, buttons});
      if (buttons == MessageButtons::Ok) return MessageAnswer::Ok;
      if (answers.empty()) return MessageAnswer::Yes;
      const MessageAnswer answer = answers.front();
      answers.pop_front();
      return answer;
    };
    form->window().beepHook = [this] { ++beeps; };
    form->endProgram = [this](bool searchRunning) { endedWhileRunning = searchRunning; };
    return *form;
  }

  // The next window starts in the engine mode with these settings, as saved.
  Settings saveEngineMode(Settings saved, const char* timeout, const char* retry) {
    saved.mineMode = 0;
    saved.engineMode = 1;
    saved.timeoutText = timeout;
    saved.retryText = retry;
    writeFile("qxconfig.qxf", encodeSettings(saved));
    return saved;
  }

  std::string path(const std::string& name) const { return (dir_ / name).string(); }
  const std::filesystem::path& dir() const { return dir_; }

  void writeFile(const std::string& name, const std::string& content) const {
    std::ofstream(path(name), std::ios::binary) << content;
  }
  std::string readFile(const std::string& name) const {
    std::ifstream in(path(name), std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
  }
  bool exists(const std::string& name) const { return std::filesystem::exists(path(name)); }

  std::unique_ptr<FrmMain> form;
  std::vector<ShownMessage> messages;
  std::deque<MessageAnswer> answers;  // for Yes/No questions; Yes when none is left
  int beeps = 0;
  std::optional<bool> endedWhileRunning;

 private:
  std::filesystem::path previous_;
  std::filesystem::path dir_;
  static inline int counter_ = 0;
};

inline std::string textOf(const QTextEdit* pane) {
  return pane->toPlainText().toStdString();
}

// The entries of a combo box, top to bottom.
inline std::vector<std::string> namesIn(const QComboBox* box) {
  std::vector<std::string> names;
  for (int i = 0; i < box->count(); ++i) names.push_back(box->itemText(i).toStdString());
  return names;
}

// The lamp as a person sees it: "red", "green" or neither, and " blinking"
// while its timer runs.
inline std::string lampOf(const FrmMain& w) {
  return std::string(w.ImageRed->isVisibleTo(&w) ? "red" : "") +
         (w.ImageGreen->isVisibleTo(&w) ? "green" : "") +
         (w.busyTimer->isActive() ? " blinking" : "");
}

// Each control's caption and tool tip, as "caption|tip".
inline std::vector<std::string> captionsOf(std::initializer_list<const QAbstractButton*> controls) {
  std::vector<std::string> captions;
  for (const QAbstractButton* c : controls)
    captions.push_back((c->text() + "|" + c->toolTip()).toStdString());
  return captions;
}

// Texts of a list control, top to bottom.
template <typename List>
std::vector<std::string> itemsOf(const List* list) {
  std::vector<std::string> items;
  for (int i = 0; i < list->count(); ++i) items.push_back(list->item(i)->text().toStdString());
  return items;
}

}  // namespace quexa::testing
