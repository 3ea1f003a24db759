#ifndef PLIMSY_UI_SCREEN_FRAME_H_
#define PLIMSY_UI_SCREEN_FRAME_H_

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <ftxui/component/component_base.hpp>
#include <ftxui/component/event.hpp>
#include <ftxui/dom/elements.hpp>

#include "ui/finder.h"
#include "ui/text_view.h"

// What both screens share around their panes: the header bar, the key hint
// line, the help overlay, the search prompt, the keys common to both, and
// moving the focus between the panes.
namespace plimsy {

// A key: the events it answers, what the help shows of it, and what it
// does. The help is made from the same keys that are handled, so it shows
// no key that does nothing.
struct KeyBinding {
  std::vector<ftxui::Event> events;
  // Other forms of the key, when a list of events would not do.
  std::function<bool(const ftxui::Event&)> matches;
  // The key as the help shows it, such as "j k ↓ ↑".
  std::string label;
  // The heading it is listed under in the help.
  std::string group;
  std::string description;
  // What the key does; returns what to tell the user, or nothing.
  std::function<std::string(const ftxui::Event&)> action;
  // The key and a word for the hint line, such as "s split"; none when
  // empty.
  std::string hint;
};

// What a search in a pane came to.
enum class SearchResult {
  kFound,
  // Found after going past the end (or the start) and on from the other.
  kWrapped,
  kNotFound,
  // The pane shows nothing to search.
  kNothing,
};

struct FramePane {
  ftxui::Component component;
  // Moves the pane's selection to the next (or previous) entry or row that
  // the finder matches; empty when the pane cannot be searched.
  std::function<SearchResult(const Finder& finder, bool forward)> search;
};

struct ScreenFrameOptions {
  // The screen's name in the title: "diff" or "log".
  std::string name;
  // Shown in the header and changed by its controls.
  bool* split = nullptr;
  bool* ignore_whitespace = nullptr;
  const int* context = nullptr;
  // Run after `ignore_whitespace` was toggled, and to change the context.
  std::function<void()> whitespace_changed;
  std::function<void()> less_context;
  std::function<void()> more_context;
  std::function<void()> exit;
  // Drawn dim at the right of the title, when it fits; may be empty.
  std::function<std::string()> status;
  // The panes in the order Tab visits them.
  std::vector<FramePane> panes;
  // The screen's own keys, listed after the common ones.
  std::vector<KeyBinding> keys;
  // Where the matches of the last search are shown from.
  TextView* view = nullptr;
};

// The screen: the header, then `body`, then the hint line (or the search
// prompt, or a notice), under the help overlay while it is open. Handles
// every key through its table; the mouse goes to the header and `body`.
ftxui::Component ScreenFrame(ftxui::Component body, ScreenFrameOptions options);

// The title row of a pane, highlighted while the pane has the focus.
ftxui::Element PaneTitle(const std::string& title, bool focused);

// An element built only once its box is known, by `build` given the box's
// width and height, so that it can fit what it holds to the room it has.
ftxui::Element AtSize(
    std::function<ftxui::Element(int width, int height)> build);

// The first of `choices` that fits the width it is given; nothing when none
// does. `before_layout` runs before the one chosen is laid out.
ftxui::Element FirstThatFits(std::vector<ftxui::Element> choices,
                             std::function<void()> before_layout = {});

// The width a side pane is shown with: the user's choice, no wider than a
// share of the screen. A drag on the divider becomes the user's choice.
class SideWidth {
 public:
  explicit SideWidth(int* chosen) : chosen_(chosen), shown_(*chosen) {}
  // Fits the shown width to a screen `width` cells wide, `share` of it at
  // most.
  void Fit(int width, double share);
  // What the divider moves.
  int* shown() { return &shown_; }

 private:
  int* chosen_;
  int shown_;
  int fitted_ = -1;
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

// Whether a screen `width` cells wide starts in the split layout.
bool StartsSplit(int width);

}  // namespace plimsy

#endif  // PLIMSY_UI_SCREEN_FRAME_H_
