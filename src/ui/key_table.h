#ifndef PLIMSY_UI_KEY_TABLE_H_
#define PLIMSY_UI_KEY_TABLE_H_

#include <string>
#include <vector>

#include <ftxui/dom/elements.hpp>

#include "ui/key_binding.h"

// What a screen shows of its table of keys: the hint line and the help.
namespace plimsy {

// The hints of `keys` in their order, as many whole as fit, dim.
ftxui::Element HintLine(const std::vector<KeyBinding>& keys);

// The help of the screen called `name` for a screen `width` by `height`
// cells: `keys` under their headings, in the order the headings first
// come, in one column or in two when one is too tall and two fit across;
// then how the mouse works.
ftxui::Element KeyHelp(const std::vector<KeyBinding>& keys,
                       const std::string& name,
                       int width,
                       int height);

}  // namespace plimsy

#endif  // PLIMSY_UI_KEY_TABLE_H_
