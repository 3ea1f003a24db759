#ifndef PLIMSY_UI_SEARCH_H_
#define PLIMSY_UI_SEARCH_H_

#include <functional>
#include <memory>
#include <string>

#include <ftxui/component/event.hpp>
#include <ftxui/dom/elements.hpp>

#include "ui/finder.h"

// Searching a pane for a term typed into a prompt.
namespace plimsy {

// What a search in a pane came to.
enum class SearchResult {
  kFound,
  // Found after going past the end (or the start) and on from the other.
  kWrapped,
  kNotFound,
  // The pane shows nothing to search.
  kNothing,
  // Not in what has been read yet: the pane reads on for it, and tells
  // what it came to when it is done.
  kReadingOn,
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

// The search prompt: what is typed into it while it is open, and the term
// of the last search.
struct SearchPrompt {
  bool open = false;
  std::string typed;
  // Null before the first search.
  std::shared_ptr<const Finder> finder;
};

// A key typed into the open `prompt`: Escape closes it; Enter closes it and
// makes what was typed, if anything, the term searched for; Backspace takes
// back a character, or closes the prompt when nothing is left to take;
// other printable characters are typed. Returns whether a search is asked
// for, which is by Enter.
bool TypeInPrompt(SearchPrompt& prompt, const ftxui::Event& event);

// The prompt's row: a slash, what was typed, and the cursor.
ftxui::Element PromptLine(const SearchPrompt& prompt);

// What to tell the user of a search (`forward`, or back) that came to
// `result` for `finder`'s term; nothing when the match was simply found.
std::string SearchNotice(SearchResult result,
                         bool forward,
                         const Finder& finder);

}  // namespace plimsy

#endif  // PLIMSY_UI_SEARCH_H_
