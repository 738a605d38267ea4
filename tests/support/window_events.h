// What a recording window was given, in shapes that compare whole: the
// texts of one kind of event, and tree nodes written on one line,
// "parent|key|text|image|expanded image" with "-" where there is none.
#pragma once

#include <string>
#include <vector>

#include "app/transcript.h"
#include "app/window.h"

namespace quexa::test {

inline std::string nodeLine(const std::optional<std::string>& parentKey, const std::string& key,
                            const std::string& text, const std::string& image,
                            const std::optional<std::string>& expandedImage) {
  return parentKey.value_or("-") + "|" + key + "|" + text + "|" + image + "|" +
         expandedImage.value_or("-");
}

inline std::string nodeLine(const NodeSpec& n) {
  return nodeLine(n.parentKey, n.key, n.text, n.image, n.expandedImage);
}

// The texts of the window's events of one kind, in order.
inline std::vector<std::string> eventTexts(const TranscriptWindow& window,
                                           TranscriptEvent::Kind kind) {
  std::vector<std::string> texts;
  for (const auto& e : window.eventsOf(kind)) texts.push_back(e.text);
  return texts;
}

// The nodes the window was given, in order.
inline std::vector<std::string> nodeLines(const TranscriptWindow& window) {
  std::vector<std::string> lines;
  for (const auto& e : window.eventsOf(TranscriptEvent::Kind::Node))
    lines.push_back(nodeLine(e.parentKey, e.key, e.text, e.image, e.expandedImage));
  return lines;
}

}  // namespace quexa::test
