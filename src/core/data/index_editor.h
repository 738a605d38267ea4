// The index editor frmDir ("Quexa - Change Index") without its window: the
// controls as plain values and one method per handler. The Qt window only
// copies the user's typing into dirCatText / textURL and shows the state.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/window.h"
#include "data/index_file.h"
#include "data/word_list.h"

namespace quexa {

// The main window's controls that the editor writes when it saves.
struct MainWindowLists {
  std::vector<std::string> searchCat;  // the index chooser's names, in its order
  std::string searchCatText;           // the chooser's text
  std::vector<std::string> listCategory;
  WordList wordList;
  std::array<std::string, 4> searchText;
  bool frameMineRedrawn = false;  // set when frameMine must be redrawn
};

inline constexpr const char* kUrlStart = "http://";

class IndexEditor {
 public:
  IndexEditor(std::string dataDir, Window& window, MainWindowLists& main);

  // The controls.
  std::string dirCatText = kUnknownIndex;  // the name box
  std::vector<std::string> dirCat;         // the name list, sorted
  std::vector<std::string> dirList;        // the addresses, sorted
  int dirListSelected = -1;                // selected address, -1 for none
  std::string textURL = kUrlStart;
  bool dirNewEnabled = false;
  bool dirDelEnabled = false;
  bool closed = false;  // the editor has closed itself (unload the window)
  // With the standard link rules an address may also start with "https://"
  // (qxoptions.ini links=standard); the refusal then names both.
  bool acceptHttps = false;

  void formLoad();
  void dirCatClick(const std::string& name);
  void dirNewClick();
  void dirAddClick();
  // Checks textURL and adds it to dirList; false when refused (the message is shown).
  bool addURL();
  void dirListClick(int selected);
  void dirDelClick();
  void dirOkClick();
  void dirCancelClick();

 private:
  void refillMainWindowWithNames();
  void loadSavedWordsIntoMainWindow(const std::string& name);
  void showMainWindowIndex(const std::string& name, bool moveToEnd);

  std::string dataDir_;
  Window& window_;
  MainWindowLists& main_;
};

}  // namespace quexa
