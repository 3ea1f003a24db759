#include "ui/search.h"

#include <algorithm>
#include <utility>
#include <vector>

#include <ftxui/screen/string.hpp>

#include "ui/display_text.h"

namespace plimsy {
namespace {

bool IsPrintable(const ftxui::Event& event) {
  if (!event.is_character()) {
    return false;
  }
  const std::string& input = event.input();
  return !input.empty() && static_cast<unsigned char>(input[0]) >= 0x20 &&
         input[0] != 0x7F;
}

}  // namespace

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

bool TypeInPrompt(SearchPrompt& prompt, const ftxui::Event& event) {
  using ftxui::Event;
  if (event == Event::Escape) {
    prompt.open = false;
    return false;
  }
  if (event == Event::Return) {
    prompt.open = false;
    if (!prompt.typed.empty()) {
      prompt.finder = std::make_shared<const Finder>(prompt.typed);
    }
    return true;
  }
  if (event == Event::Backspace) {
    if (prompt.typed.empty()) {
      prompt.open = false;
      return false;
    }
    // Back over a whole character and whatever combines with it.
    std::vector<std::string> glyphs = ftxui::Utf8ToGlyphs(prompt.typed);
    while (!glyphs.empty() && glyphs.back().empty()) {
      glyphs.pop_back();
    }
    if (!glyphs.empty()) {
      prompt.typed.resize(prompt.typed.size() - glyphs.back().size());
    }
    return false;
  }
  if (IsPrintable(event)) {
    prompt.typed += event.input();
  }
  return false;
}

ftxui::Element PromptLine(const SearchPrompt& prompt) {
  return ftxui::hbox({
      ftxui::text("/" + DisplayText(prompt.typed)),
      ftxui::text(" ") | ftxui::inverted,
      ftxui::filler(),
  });
}

std::string SearchNotice(SearchResult result,
                         bool forward,
                         const Finder& finder) {
  switch (result) {
    case SearchResult::kFound:
    case SearchResult::kReadingOn:
      return std::string();
    case SearchResult::kWrapped:
      return forward ? "Search went past the end, on from the top"
                     : "Search went past the top, on from the end";
    case SearchResult::kNotFound:
      return "Not found: " + DisplayText(finder.term());
    case SearchResult::kNothing:
      break;
  }
  return "Nothing to search here";
}

}  // namespace plimsy
