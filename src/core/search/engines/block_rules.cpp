#include "search/engines/block_rules.h"

namespace quexa {

namespace {

constexpr std::string_view kLoneLineBreakStandIn = "No Short Description!";

char asciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

void removeAt(std::string& text, size_t at, size_t count) {
  if (at != std::string::npos) text.erase(at, count);
}

// Deletes the first "<br>" and what follows it up to the next "<br>"; only
// the first one when no second follows.
void takeOutBrSpan(std::string& text, bool secondLowerOnly) {
  constexpr std::string_view br = "<br>";
  size_t first = findNoCase(text, br);
  if (first == std::string::npos) return;
  size_t from = first + br.size();
  size_t second = secondLowerOnly ? text.find(br, from) : findNoCase(text, br, from);
  text.erase(first, (second == std::string::npos ? from : second) - first);
}

}  // namespace

size_t findNoCase(std::string_view text, std::string_view marker, size_t from) {
  if (marker.empty()) return from <= text.size() ? from : std::string_view::npos;
  if (text.size() < marker.size()) return std::string_view::npos;
  const char first = asciiLower(marker[0]);
  for (size_t i = from; i + marker.size() <= text.size(); ++i) {
    if (asciiLower(text[i]) != first) continue;
    size_t k = 1;
    while (k < marker.size() && asciiLower(text[i + k]) == asciiLower(marker[k])) ++k;
    if (k == marker.size()) return i;
  }
  return std::string_view::npos;
}

bool containsNoCase(std::string_view text, std::string_view marker) {
  return findNoCase(text, marker) != std::string_view::npos;
}

void applyBlockStep(std::string& text, const BlockStep& step) {
  switch (step.op) {
    case BlockOp::Remove:
      removeAt(text, findNoCase(text, step.marker), step.marker.size());
      break;
    case BlockOp::DropThrough: {
      size_t at = findNoCase(text, step.marker);
      text.erase(0, at == std::string::npos ? 2 : at + step.marker.size());
      break;
    }
    case BlockOp::CutAt: {
      size_t at = findNoCase(text, step.marker);
      if (at != std::string::npos) text.resize(at);
      break;
    }
    case BlockOp::CutAtOr: {
      size_t at = findNoCase(text, step.marker);
      if (at == std::string::npos) at = findNoCase(text, step.alternative);
      if (at != std::string::npos) text.resize(at);
      break;
    }
    case BlockOp::RemoveBoldPairs:
      // Each turn takes one "<b>" out, so the loop ends.
      for (size_t at = findNoCase(text, "<b>"); at != std::string::npos;
           at = findNoCase(text, "<b>")) {
        text.erase(at, 3);
        removeAt(text, findNoCase(text, "</b>"), 4);
      }
      break;
    case BlockOp::TakeOutBrSpan:
      takeOutBrSpan(text, false);
      break;
    case BlockOp::TakeOutBrSpanLowerSecond:
      takeOutBrSpan(text, true);
      break;
  }
}

std::string applyBlockSteps(std::string text, std::span<const BlockStep> steps) {
  for (const BlockStep& step : steps) applyBlockStep(text, step);
  return text;
}

bool splitAtEndAnchor(std::string_view text, std::string& before, std::string& after) {
  size_t at = findNoCase(text, "</a>");
  if (at == std::string_view::npos) return false;
  before = std::string(text.substr(0, at));
  after = std::string(text.substr(at + 4));
  return true;
}

bool splitAtLineBreak(std::string_view text, std::string& before, std::string& after) {
  size_t at = text.find('\n');
  if (at == std::string_view::npos) at = text.find('\r');
  if (at == std::string_view::npos) return false;
  before = std::string(text.substr(0, at));
  after = std::string(text.substr(at + 1));
  return true;
}

void replaceLoneLineBreak(std::string& description) {
  if (description == "\n" || description == "\r") description = kLoneLineBreakStandIn;
}

}  // namespace quexa
