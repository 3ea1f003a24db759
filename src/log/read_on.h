#ifndef PLIMSY_LOG_READ_ON_H_
#define PLIMSY_LOG_READ_ON_H_

#include <memory>
#include <string>
#include <vector>

#include <ftxui/component/component_base.hpp>

#include "log/commit_search.h"
#include "ui/finder.h"
#include "ui/key_binding.h"
#include "ui/search.h"

// Reading git's walk on past the commits listed, for its end or for a
// match of the commit list's search, until it comes or the user stops it.
namespace plimsy::log {

struct State;

enum class ReadingGoal {
  kNone,
  // The end of the walk, to select its last commit.
  kEnd,
  // The next (or previous) commit that the search matches.
  kMatch,
};

struct Reading {
  ReadingGoal goal = ReadingGoal::kNone;
  // The term as typed, and as looked for.
  std::shared_ptr<const Finder> typed;
  std::shared_ptr<const CommitSearch> search;
  bool forward = true;
  // The commits searched so far, going forward.
  int searched = 0;
  // What the last reading on came to, told until the next key.
  std::string outcome;
};

// The commit list's search for `typed`: from the selection through the
// commits listed; then, while the walk goes on, on through it as it comes
// (a search back reads it to its end), and round from the other end.
SearchResult SearchCommits(State& state, const Finder& typed, bool forward);

// Selects the last commit, once the walk has been read to its end.
void ReadToEnd(State& state);

// Moves to what reading on is for once it has come; tells what a search
// came to when the walk ends first. For after every take of the walk.
void AdvanceReading(State& state);

// Stops reading on: the selection stays where it is.
void StopReading(State& state);

// The keys that read on: G in the commit list while the walk goes on;
// Escape, which stops reading on.
std::vector<KeyBinding> ReadingKeys(State& state, ftxui::Component commit_menu);

// The bottom line's note while reading on: how far, and how to stop; then
// what it came to.
std::string ReadingNote(const State& state);

}  // namespace plimsy::log

#endif  // PLIMSY_LOG_READ_ON_H_
