#ifndef PLIMSY_UI_HEADER_H_
#define PLIMSY_UI_HEADER_H_

#include <functional>
#include <string>
#include <vector>

#include <ftxui/dom/elements.hpp>
#include <ftxui/screen/box.hpp>

#include "ui/key_binding.h"

// The bar at the top of a screen.
namespace plimsy {

// The forms a screen's controls can be drawn in.
inline constexpr int kControlForms = 4;

// What a screen adds to the header between the title and the quit button,
// and the keys that work it.
struct HeaderControls {
  // The controls in form `form`: 0, the widest, to kControlForms - 1, the
  // narrowest. A label is drawn whole or not at all.
  std::function<ftxui::Elements(int form)> render;
  // Takes a click at (x, y) when it falls on a control, and says whether
  // it did.
  std::function<bool(int x, int y)> click;
  // Runs before the header is laid out in the form that fits, so that
  // controls of the forms not drawn take no click.
  std::function<void()> forget;
  // Told the screen's width before each frame is drawn; may be empty.
  std::function<void(int width)> fit;
  // Listed after the frame's first keys.
  std::vector<KeyBinding> keys;
};

// The header of a screen: "plimsy" and `title` (raw text: the screen's
// name, then what it shows, such as "diff --cached"), `status` (raw text,
// may be empty), the `controls` when there are any, and the quit button,
// whose place is kept in `quit`; in the widest form that fits, where words
// go before labels are shortened. What follows the name in the title is
// cut to the room left, with "…". Drawn inverse when `no_color`.
ftxui::Element HeaderBar(const std::string& title,
                         const std::string& status,
                         const HeaderControls* controls,
                         ftxui::Box& quit,
                         bool no_color);

}  // namespace plimsy

#endif  // PLIMSY_UI_HEADER_H_
