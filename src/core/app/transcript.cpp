#include "app/transcript.h"

#include <exception>

#include "app/errors.h"

namespace quexa {

using Kind = TranscriptEvent::Kind;

namespace {
TranscriptEvent eventOf(Kind kind) {
  TranscriptEvent e;
  e.kind = kind;
  return e;
}
}  // namespace

void TranscriptWindow::record(TranscriptEvent e) {
  events.push_back(std::move(e));
  if (onEvent) onEvent(events.back());
}

std::vector<std::string> TranscriptWindow::paneDocuments(Pane pane) const {
  std::vector<std::string> docs;
  for (const auto& e : events) {
    if (e.pane != pane) continue;
    if (e.kind == Kind::Clear || e.kind == Kind::Reset) docs.clear();
    if (e.kind == Kind::Insert) docs.push_back(e.text);
  }
  return docs;
}

std::vector<TranscriptEvent> TranscriptWindow::eventsOf(Kind kind) const {
  std::vector<TranscriptEvent> out;
  for (const auto& e : events)
    if (e.kind == kind) out.push_back(e);
  return out;
}

void TranscriptWindow::recordFetch(const std::string& url) {
  TranscriptEvent e = eventOf(Kind::Fetch);
  e.text = url;
  record(std::move(e));
}

void TranscriptWindow::setStatus(std::string_view text) {
  status = text;
  TranscriptEvent e = eventOf(Kind::Status);
  e.text = text;
  record(std::move(e));
}

void TranscriptWindow::setResultLabel(std::string_view text) {
  resultLabel = text;
  TranscriptEvent e = eventOf(Kind::Found);
  e.text = text;
  record(std::move(e));
}

void TranscriptWindow::setEnabled(Control control, bool enabled) {
  if (enabled)
    disabled.erase(control);
  else
    disabled.insert(control);
}

void TranscriptWindow::beep() {
  record(eventOf(Kind::Beep));
}

MessageAnswer TranscriptWindow::messageBox(std::string_view text, std::string_view title,
                                           MessageIcon, MessageButtons buttons) {
  TranscriptEvent e = eventOf(Kind::Message);
  e.text = text;
  e.title = title;
  record(std::move(e));
  if (!messageAnswers.empty()) {
    MessageAnswer a = messageAnswers.front();
    messageAnswers.pop_front();
    return a;
  }
  return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
}

ErrorAnswer TranscriptWindow::errorDialog(std::string_view text) {
  TranscriptEvent e = eventOf(Kind::ErrorDialog);
  e.text = text;
  e.title = "Operation Error";
  record(std::move(e));
  if (!errorAnswers.empty()) {
    ErrorAnswer a = errorAnswers.front();
    errorAnswers.pop_front();
    return a;
  }
  return ErrorAnswer::Ignore;
}

void TranscriptWindow::abortProgram() {
  if (onAbort) onAbort();
  std::terminate();
}

void TranscriptWindow::addNode(const NodeSpec& node) {
  if (!keys_.insert(node.key).second)
    throw QuexaError(ErrorKind::Other, "Key is not unique in collection: " + node.key);
  TranscriptEvent e = eventOf(Kind::Node);
  e.parentKey = node.parentKey;
  e.key = node.key;
  e.text = node.text;
  e.image = node.image;
  e.expandedImage = node.expandedImage;
  record(std::move(e));
}

void TranscriptWindow::makeVisible(std::string_view key) {
  TranscriptEvent e = eventOf(Kind::MakeVisible);
  e.key = key;
  record(std::move(e));
}

void TranscriptWindow::clearTree() {
  keys_.clear();
  record(eventOf(Kind::ClearTree));
}

void TranscriptWindow::clearPane(Pane pane) {
  TranscriptEvent e = eventOf(Kind::Clear);
  e.pane = pane;
  record(std::move(e));
}

void TranscriptWindow::resetPane(Pane pane) {
  TranscriptEvent e = eventOf(Kind::Reset);
  e.pane = pane;
  record(std::move(e));
}

void TranscriptWindow::insertRtf(Pane pane, std::string_view rtf) {
  TranscriptEvent e = eventOf(Kind::Insert);
  e.pane = pane;
  e.text = rtf;
  record(std::move(e));
}

}  // namespace quexa
