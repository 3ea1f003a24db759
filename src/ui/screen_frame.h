#ifndef PLIMSY_UI_SCREEN_FRAME_H_
#define PLIMSY_UI_SCREEN_FRAME_H_

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <ftxui/component/component_base.hpp>
#include <ftxui/component/event.hpp>
#include <ftxui/dom/elements.hpp>

#include "ui/finder.h"
#include "ui/header.h"
#include "ui/key_binding.h"
#include "ui/search.h"
#include "ui/text_view.h"

// What every screen has around its panes: the header bar, the key hint
// line, the help overlay, the search prompt, the keys common to all, and
// moving the focus between the panes.
namespace plimsy {

// A pane of the screen, which Tab can focus.
struct FramePane {
  // The pane's widget, which the keys of the panes' widgets go to while it
  // has the focus.
  ftxui::Component component;
  // Moves the pane's selection to the next (or previous) entry or row that
  // the finder matches; empty when the pane cannot be searched.
  std::function<SearchResult(const Finder& finder, bool forward)> search;
  // The heading the help lists the keys of the pane's widget under when
  // only its kind of pane takes them.
  std::string heading = {};
};

struct ScreenFrameOptions {
  // The screen's name, such as "diff" or "log", in the help's title.
  std::string name;
  // The header's title: the name, then what the screen shows, such as
  // "diff --cached"; the name alone when empty.
  std::string title;
  std::function<void()> exit;
  // Drawn dim at the right of the title, when it fits; may be empty.
  std::function<std::string()> status;
  // What the screen adds to the header, with its keys; none when empty.
  std::optional<HeaderControls> controls;
  // The panes in the order Tab visits them.
  std::vector<FramePane> panes;
  // The screen's own keys, listed after the common ones.
  std::vector<KeyBinding> keys;
  // Keys that go before all others while they match (their `matches` says
  // when): a screen's own use of a pane's key for a while. Listed after
  // `keys`.
  std::vector<KeyBinding> first_keys;
  // What goes on after the key that started it, such as reading on to a
  // match, and then what it came to: shown in the bottom line while not
  // empty; may be empty.
  std::function<std::string()> progress;
  // Where the matches of the last search are shown from.
  TextView* view = nullptr;
};

// The screen: the header, then `body`, then the hint line (or the search
// prompt, or a notice), under the help overlay while it is open. Handles
// every key through its table; the mouse goes to the header and `body`.
ftxui::Component ScreenFrame(ftxui::Component body, ScreenFrameOptions options);

}  // namespace plimsy

#endif  // PLIMSY_UI_SCREEN_FRAME_H_
