// The result window the searches and result commands write to. The Qt
// window, the command line front end (a transcript) and the tests each
// implement it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quexa {

// Commands and frames that the searches switch on and off.
enum class Control {
  searchNow,     // "&Start"
  searchStop,    // "S&top"
  searchConfig,  // "&Main"
  viewPrev,      // "&Found"
  searchPrint,   // "&Print"
  searchSave,    // "Sa&ve"
  buttonView,    // "&View"
  buttonMine,    // "My Web Sites"
  buttonEngine,  // "Web Engines"
  buttonIndex,   // "&Index"
  buttonTimer,   // "Timer"
  searchPage,    // "Search Web Site"
};

enum class Pane {
  All,   // allWebResult, "View All Web Sites"
  Page,  // dispResult, "View Each Web Site"
};

enum class MessageIcon { Critical, Exclamation, Information };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };
enum class ErrorAnswer { Abort, Retry, Ignore };

struct NodeSpec {
  std::optional<std::string> parentKey;  // none for a top-level node
  std::string key;
  std::string text;
  std::string image;                         // "closed" or "leaf"
  std::optional<std::string> expandedImage;  // "open" for top-level nodes
};

class Window {
 public:
  virtual ~Window() = default;

  virtual void setStatus(std::string_view text) = 0;       // dispFile
  virtual void setResultLabel(std::string_view text) = 0;  // lblResult
  virtual void setEnabled(Control control, bool enabled) = 0;
  virtual void setSearchFrameVisible(bool visible) = 0;  // frameSearch
  // Busy: ImageGreen shown and blinking (busyTimer on), ImageRed hidden.
  // Idle: ImageGreen hidden, busyTimer off, ImageRed shown.
  virtual void setLampBusy(bool busy) = 0;
  virtual void setBusyCursor(bool busy) = 0;  // hourglass or default pointer
  virtual void beep() = 0;
  virtual MessageAnswer messageBox(std::string_view text, std::string_view title, MessageIcon icon,
                                   MessageButtons buttons) = 0;
  // The "Operation Error" dialog: critical icon, Abort / Retry / Ignore.
  virtual ErrorAnswer errorDialog(std::string_view text) = 0;
  // Abort in the error dialog: the program ends at once, without shutdown.
  [[noreturn]] virtual void abortProgram() = 0;
  // Brings the display up to date before the first fetch.
  virtual void refresh() {}
  // The quiet failure report: a page or engine that could not be fetched, or
  // was left out (robots.txt, a redirect off the site), with the reason. It
  // changes no status text, tree node or document; the window lists these
  // for the person to look at, the command line writes them to stderr. Every
  // search and page view starts a new list (clearUnfetched).
  virtual void reportUnfetched(std::string_view url, std::string_view reason) {
    (void)url;
    (void)reason;
  }
  virtual void clearUnfetched() {}

  // Result tree. addNode throws QuexaError(ErrorKind::Other) for a key the
  // tree already holds.
  virtual void addNode(const NodeSpec& node) = 0;
  virtual void makeVisible(std::string_view key) = 0;  // scrolled into view, parents expanded
  virtual void clearTree() = 0;

  // Result panes.
  virtual void clearPane(Pane pane) = 0;                        // text set to ""
  virtual void resetPane(Pane pane) = 0;                        // cleared, then " " at the caret
  virtual void insertRtf(Pane pane, std::string_view rtf) = 0;  // at the caret (the end)
};

}  // namespace quexa
