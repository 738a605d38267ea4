#include "match/visited_index.h"

#include "app/text.h"

namespace quexa {

namespace {

constexpr std::string_view kScheme = "http://";

}  // namespace

void VisitedIndex::add(std::string_view link) {
  text_.append(link);
  text_.push_back(' ');
  entries_.emplace_back(link);
  indexRunsOf(entries_.back());
}

// The list always ends in a blank, so a new entry never lengthens a run of an
// earlier one: the runs of an entry are its blank-free stretches.
void VisitedIndex::indexRunsOf(const std::string& entry) {
  std::string_view rest = entry;
  while (!rest.empty()) {
    size_t blank = rest.find(' ');
    std::string_view run = rest.substr(0, blank);
    for (size_t at = run.find(kScheme); at != std::string_view::npos;
         at = run.find(kScheme, at + 1)) {
      runTails_.insert(run.substr(at));
    }
    if (blank == std::string_view::npos) break;
    rest.remove_prefix(blank + 1);
  }
}

// A candidate that starts with "http://" and holds no blank can only occur
// inside one run, starting at one of its "http://": it is visited exactly when
// it is a prefix of one of the indexed run tails. Tails with that prefix sort
// together, right at the candidate's lower bound. Anything else (a blank that
// may span two entries, another start) is rare and scans the list.
bool VisitedIndex::contains(std::string_view candidate) const {
  if (!startsWith(candidate, kScheme) || candidate.find(' ') != std::string_view::npos)
    return text_.find(candidate) != std::string::npos;
  auto it = runTails_.lower_bound(candidate);
  return it != runTails_.end() && startsWith(*it, candidate);
}

}  // namespace quexa
