#ifndef PLIMSY_DIFF_CONTROLS_H_
#define PLIMSY_DIFF_CONTROLS_H_

#include <functional>
#include <optional>

#include "ui/header.h"

// The layout and the options of a diff, the same in both screens.
namespace plimsy {

// What a screen of differences shows in its header and changes by keys and
// clicks.
struct DiffControls {
  bool* split = nullptr;
  // Where the split key records the user's choice; when set, `split` is
  // fitted to the screen's width on every frame (ShowsSplit).
  std::optional<bool>* split_chosen = nullptr;
  // Both null when the diff cannot be read again another way, as a diff
  // read from standard input cannot.
  bool* ignore_whitespace = nullptr;
  const int* context = nullptr;
  // Run after `ignore_whitespace` was toggled, and to change the context.
  std::function<void()> whitespace_changed;
  std::function<void()> less_context;
  std::function<void()> more_context;
};

// `controls` in the header: the split box, the whitespace box when
// whitespace can be ignored, and the context with its buttons when it can
// change; with their keys s, W and - +.
HeaderControls DiffHeaderControls(DiffControls controls);

// Whether a screen `width` cells wide shows the split layout: as the user
// `chosen`, else when it is wide enough.
bool ShowsSplit(const std::optional<bool>& chosen, int width);

}  // namespace plimsy

#endif  // PLIMSY_DIFF_CONTROLS_H_
