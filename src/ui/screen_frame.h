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
#include "ui/key_binding.h"
#include "ui/search.h"
#include "ui/text_view.h"

// What both screens share around their panes: the header bar, the key hint
// line, the help overlay, the search prompt, the keys common to both, and
// moving the focus between the panes.
namespace plimsy {

struct FramePane {
  ftxui::Component component;
  // Moves the pane's selection to the next (or previous) entry or row that
  // the finder matches; empty when the pane cannot be searched.
  std::function<SearchResult(const Finder& finder, bool forward)> search;
  // The heading the help lists the keys of the pane's widget under when
  // only its kind of pane takes them.
  std::string heading = {};
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

// Whether a screen `width` cells wide starts in the split layout.
bool StartsSplit(int width);

}  // namespace plimsy

#endif  // PLIMSY_UI_SCREEN_FRAME_H_
