#include "ui/search.h"

#include <algorithm>
#include <utility>

namespace plimsy {

SearchResult SearchEntries(const Finder& finder,
                           bool forward,
                           int count,
                           int& selected,
                           const std::function<std::string(int)>& text) {
  if (count <= 0) {
    return SearchResult::kNothing;
  }
  const int start = std::clamp(selected, 0, count - 1);
  for (int step = 1; step <= count; ++step) {
    const int index =
        ((forward ? start + step : start - step) % count + count) % count;
    if (finder.Matches(text(index))) {
      selected = index;
      const bool wrapped = forward ? index <= start : index >= start;
      return wrapped ? SearchResult::kWrapped : SearchResult::kFound;
    }
  }
  return SearchResult::kNotFound;
}

std::function<SearchResult(const Finder& finder, bool forward)> ListSearch(
    int& selected,
    std::function<int()> count,
    std::function<std::string(int)> text,
    std::function<void()> changed) {
  return [&selected, count = std::move(count), text = std::move(text),
          changed = std::move(changed)](const Finder& finder, bool forward) {
    int found = selected;
    const SearchResult result =
        SearchEntries(finder, forward, count(), found, text);
    if (found != selected) {
      selected = found;
      changed();
    }
    return result;
  };
}

}  // namespace plimsy
