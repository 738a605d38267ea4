// A window without a screen: it records everything a search does to it, in
// order. The command line front end prints these events (text, RTF or JSON
// Lines); the tests compare them.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/window.h"
#include "net/fetcher.h"

namespace quexa {

struct TranscriptEvent {
  enum class Kind {
    Status,  // dispFile text
    Found,   // lblResult text
    Node,    // a tree node added
    Insert,  // an RTF document inserted into a pane
    Clear,   // a pane emptied
    Reset,   // a pane emptied, then " " inserted
    ClearTree,
    MakeVisible,
    Message,  // a message box
    ErrorDialog,
    Beep,
    Fetch,  // a request attempt (recorded by the fetcher wrapper)
  };
  Kind kind = Kind::Status;
  std::string text;  // status/found/message text, node text, RTF, URL, key
  std::optional<std::string> parentKey;
  std::string key;
  std::string image;
  std::optional<std::string> expandedImage;
  Pane pane = Pane::All;
  std::string title;  // message box title
};

class TranscriptWindow : public Window {
 public:
  // Called for every event as it is recorded (the command line streams them).
  std::function<void(const TranscriptEvent&)> onEvent;
  // Answers for message boxes and error dialogs, used in order; when none is
  // left, Yes/Ok and Ignore are answered.
  std::deque<MessageAnswer> messageAnswers;
  std::deque<ErrorAnswer> errorAnswers;
  // Called by abortProgram(); must not return (the default throws std::terminate).
  std::function<void()> onAbort;

  std::vector<TranscriptEvent> events;
  std::string status;       // dispFile now
  std::string resultLabel;  // lblResult now
  bool lampBusy = false;
  bool busyCursor = false;
  bool searchFrameVisible = true;
  std::set<Control> disabled;  // controls switched off
  // The pages reported unfetched since the last clearUnfetched: url, reason.
  std::vector<std::pair<std::string, std::string>> unfetched;

  bool isEnabled(Control c) const { return disabled.count(c) == 0; }
  // The RTF documents inserted into a pane since it was last cleared.
  std::vector<std::string> paneDocuments(Pane pane) const;
  std::vector<TranscriptEvent> eventsOf(TranscriptEvent::Kind kind) const;
  bool hasNode(const std::string& key) const { return keys_.count(key) != 0; }

  // Records a fetch attempt (the front ends' fetcher wrapper calls it).
  void recordFetch(const std::string& url);

  void setStatus(std::string_view text) override;
  void setResultLabel(std::string_view text) override;
  void setEnabled(Control control, bool enabled) override;
  void setSearchFrameVisible(bool visible) override { searchFrameVisible = visible; }
  void setLampBusy(bool busy) override { lampBusy = busy; }
  void setBusyCursor(bool busy) override { busyCursor = busy; }
  void beep() override;
  MessageAnswer messageBox(std::string_view text, std::string_view title, MessageIcon icon,
                           MessageButtons buttons) override;
  ErrorAnswer errorDialog(std::string_view text) override;
  [[noreturn]] void abortProgram() override;
  void addNode(const NodeSpec& node) override;
  void makeVisible(std::string_view key) override;
  void clearTree() override;
  void clearPane(Pane pane) override;
  void resetPane(Pane pane) override;
  void insertRtf(Pane pane, std::string_view rtf) override;
  void reportUnfetched(std::string_view url, std::string_view reason) override {
    unfetched.emplace_back(url, reason);
  }
  void clearUnfetched() override { unfetched.clear(); }

 private:
  void record(TranscriptEvent e);
  std::set<std::string> keys_;
};

// A fetcher that records every request attempt (retries included) in the
// window as a "fetch" event before it is made. The hint of the pages to come
// is no attempt and passes on unrecorded, as does the pages' preparation.
class RecordingFetcher : public Fetcher {
 public:
  RecordingFetcher(Fetcher& inner, TranscriptWindow& window) : inner_(inner), window_(window) {}
  FetchResult fetch(const std::string& url, int timeoutSeconds) override {
    window_.recordFetch(url);
    return inner_.fetch(url, timeoutSeconds);
  }
  void cancel() override { inner_.cancel(); }
  void setProxy(AccessType access, const std::string& proxyName) override {
    inner_.setProxy(access, proxyName);
  }
  void hintUpcoming(const std::vector<std::string>& urls) override { inner_.hintUpcoming(urls); }
  void setPreparer(PagePreparer preparer) override { inner_.setPreparer(std::move(preparer)); }
  std::shared_ptr<PreparedPage> takePrepared() override { return inner_.takePrepared(); }
  void setPagesOnly(bool on) override { inner_.setPagesOnly(on); }

 private:
  Fetcher& inner_;
  TranscriptWindow& window_;
};

}  // namespace quexa
