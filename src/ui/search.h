#ifndef PLIMSY_UI_SEARCH_H_
#define PLIMSY_UI_SEARCH_H_

#include <functional>
#include <string>

#include "ui/finder.h"

// Searching a pane for a term.
namespace plimsy {

// What a search in a pane came to.
enum class SearchResult {
  kFound,
  // Found after going past the end (or the start) and on from the other.
  kWrapped,
  kNotFound,
  // The pane shows nothing to search.
  kNothing,
};

// Searches the `count` entries of a list, whose texts `text` gives, from
// the one after (or before) `selected` round to `selected` itself, and
// selects the first that `finder` matches.
SearchResult SearchEntries(const Finder& finder,
                           bool forward,
                           int count,
                           int& selected,
                           const std::function<std::string(int)>& text);

// The search of a list of `count()` entries, whose texts `text` gives:
// moves `selected` to the entry found, then runs `changed`.
std::function<SearchResult(const Finder& finder, bool forward)> ListSearch(
    int& selected,
    std::function<int()> count,
    std::function<std::string(int)> text,
    std::function<void()> changed);

}  // namespace plimsy

#endif  // PLIMSY_UI_SEARCH_H_
