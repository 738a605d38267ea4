// The crawl's visited list: every link queued in this search, each followed
// by one blank. A candidate counts as visited when it occurs anywhere in that
// text, so a prefix of a visited link counts, and so does a text that runs
// over the blank into the next entry. The index answers that test in about
// logarithmic time instead of scanning the whole list.
#pragma once

#include <deque>
#include <set>
#include <string>
#include <string_view>

namespace quexa {

class VisitedIndex {
 public:
  VisitedIndex() = default;
  // The index keeps views into its own entries, so it is not copied.
  VisitedIndex(const VisitedIndex&) = delete;
  VisitedIndex& operator=(const VisitedIndex&) = delete;
  VisitedIndex(VisitedIndex&&) = default;
  VisitedIndex& operator=(VisitedIndex&&) = default;

  // Appends link and one blank, whether or not it was visited already.
  void add(std::string_view link);
  // Exactly text().find(candidate) != npos.
  bool contains(std::string_view candidate) const;
  // The visited list as one text: each link followed by one blank.
  const std::string& text() const { return text_; }
  bool empty() const { return text_.empty(); }

 private:
  void indexRunsOf(const std::string& entry);

  std::string text_;
  // Every entry kept whole, so the views below stay valid: a deque never
  // moves its elements when it grows.
  std::deque<std::string> entries_;
  // From every "http://" in the list to the end of its blank-free run.
  std::set<std::string_view> runTails_;
};

}  // namespace quexa
