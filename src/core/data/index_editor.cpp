#include "data/index_editor.h"

#include <algorithm>

#include "app/text.h"
#include "data/index_file.h"
#include "data/sections.h"

namespace quexa {

namespace {

bool holdsLineBreak(const std::string& s) {
  return s.find('\r') != std::string::npos || s.find('\n') != std::string::npos;
}

bool listHolds(const std::vector<std::string>& list, const std::string& entry) {
  return std::find(list.begin(), list.end(), entry) != list.end();
}

}  // namespace

IndexEditor::IndexEditor(std::string dataDir, Window& window, MainWindowLists& main)
    : dataDir_(std::move(dataDir)), window_(window), main_(main) {}

void IndexEditor::formLoad() {
  dirDelEnabled = false;
  dirNewEnabled = false;
  dirCat.clear();
  insertAllSorted(dirCat, loadIndexNames(dataDir_));
  dirCatText = kUnknownIndex;
  dirList.clear();
  dirListSelected = -1;
  textURL = kUrlStart;
  closed = false;
}

void IndexEditor::dirCatClick(const std::string& name) {
  dirCatText = name;
  if (name != kUnknownIndex) {
    dirList.clear();
    dirListSelected = -1;
    dirNewEnabled = true;
  }
  std::vector<std::string> urls = loadIndexUrls(dataDir_, name);
  // The selected address moves down by the addresses sorted before it (an
  // equal one goes after it).
  if (dirListSelected >= 0) {
    const std::string& selected = dirList[static_cast<size_t>(dirListSelected)];
    dirListSelected += static_cast<int>(
        std::count_if(urls.begin(), urls.end(), [&](const auto& url) { return url < selected; }));
  }
  insertAllSorted(dirList, std::move(urls));
}

void IndexEditor::dirNewClick() {
  dirCatText = kUnknownIndex;
  dirList.clear();
  dirListSelected = -1;
  dirNewEnabled = false;
}

void IndexEditor::dirAddClick() {
  addURL();
  textURL = kUrlStart;
}

bool IndexEditor::addURL() {
  const std::string lower = lowerSameLength(textURL);
  const bool https = acceptHttps && startsWith(lower, "https://") && lower != "https://";
  // A line break would split the address into lines of the index file, one
  // of which could even read as a section header.
  if (textURL.empty() || (!https && (!startsWith(lower, kUrlStart) || lower == kUrlStart)) ||
      holdsLineBreak(textURL)) {
    window_.beep();
    window_.messageBox(acceptHttps ? "You must enter a valid URL starting with http:// or https://"
                                   : "You must enter a valid URL starting with http://",
                       "Invalid URL", MessageIcon::Critical, MessageButtons::Ok);
    return false;
  }
  if (listHolds(dirList, textURL)) {
    window_.messageBox("This URL is already in the current category.", "Duplicated Directory",
                       MessageIcon::Critical, MessageButtons::Ok);
    return false;
  }
  size_t at = insertSorted(dirList, textURL);
  if (dirListSelected >= 0 && at <= static_cast<size_t>(dirListSelected)) ++dirListSelected;
  return true;
}

void IndexEditor::dirListClick(int selected) {
  dirListSelected = selected >= 0 && static_cast<size_t>(selected) < dirList.size() ? selected : -1;
  if (dirListSelected >= 0) dirDelEnabled = true;
}

void IndexEditor::dirDelClick() {
  if (dirListSelected < 0 || static_cast<size_t>(dirListSelected) >= dirList.size()) return;
  dirList.erase(dirList.begin() + dirListSelected);
  // Removing the selected address leaves nothing selected.
  dirListSelected = -1;
  dirDelEnabled = false;
  if (!dirList.empty()) return;

  // The last address gone: the index and its saved search texts are deleted
  // at once, without a question; the main window keeps its lists.
  const std::string name = dirCatText;
  auto listed = std::find(dirCat.begin(), dirCat.end(), name);
  if (listed != dirCat.end()) dirCat.erase(listed);
  dirCatText = kUnknownIndex;
  deleteIndexSection(dataDir_, name);
  deleteWordSection(dataDir_, name);
}

void IndexEditor::dirCancelClick() {
  closed = true;
}

void IndexEditor::dirOkClick() {
  const std::string name = ltrim(dirCatText);

  if (name.empty() || name == kUnknownIndex) {
    if (!dirList.empty()) {
      window_.messageBox("You must specify an index name!", "Save Index", MessageIcon::Critical,
                         MessageButtons::Ok);
      return;
    }
    refillMainWindowWithNames();
    closed = true;
    loadSavedWordsIntoMainWindow(name);
    return;
  }

  const bool overwrite = listHolds(dirCat, name);
  if (overwrite &&
      window_.messageBox(" Do you want to overwrite URLs in the existing " + name + "?",
                         "Overwrite URLs", MessageIcon::Exclamation,
                         MessageButtons::YesNo) != MessageAnswer::Yes)
    return;

  if (dirList.empty()) {
    if (window_.messageBox("There is nothing to save to " + name + "." + " Continue?",
                           "Wrong Action", MessageIcon::Exclamation,
                           MessageButtons::YesNo) == MessageAnswer::Yes)
      closed = true;
    return;
  }

  if (overwrite) {
    replaceIndexSection(dataDir_, name, dirList);
    showMainWindowIndex(name, true);
  } else {
    if (window_.messageBox("Are you sure to save URLs to " + name + "?", "Save Directories",
                           MessageIcon::Exclamation, MessageButtons::YesNo) != MessageAnswer::Yes)
      return;
    appendIndexSection(dataDir_, name, dirList);
    showMainWindowIndex(name, false);
  }
  closed = true;
  loadSavedWordsIntoMainWindow(name);
}

// Nothing to save and no name: the main window starts over from the names
// the editor lists.
void IndexEditor::refillMainWindowWithNames() {
  main_.searchCat.clear();
  main_.searchCatText.clear();
  main_.listCategory.clear();
  main_.wordList.clear();
  main_.searchText.fill("");
  main_.searchCat = dirCat;
}

// The saved index becomes the main window's chosen index, its addresses in
// the editor's sorted order. An overwritten name moves to the chooser's end.
void IndexEditor::showMainWindowIndex(const std::string& name, bool moveToEnd) {
  if (moveToEnd) {
    auto old = std::find(main_.searchCat.begin(), main_.searchCat.end(), name);
    if (old != main_.searchCat.end()) main_.searchCat.erase(old);
  }
  main_.searchCat.push_back(name);
  main_.searchCatText = name;
  main_.listCategory = dirList;
}

void IndexEditor::loadSavedWordsIntoMainWindow(const std::string& name) {
  main_.wordList.clear();
  main_.wordList.addAll(loadWordList(dataDir_, name));
  main_.frameMineRedrawn = true;
}

}  // namespace quexa
