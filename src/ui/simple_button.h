#ifndef PLIMSY_UI_SIMPLE_BUTTON_H_
#define PLIMSY_UI_SIMPLE_BUTTON_H_

#include <ftxui/component/component_options.hpp>
#include <ftxui/dom/elements.hpp>

namespace plimsy {

// The flat style of every button: the bare label, bold while active and
// inverted while focused. Each screen's unit gets its own copy.
static inline ftxui::ButtonOption SimpleButtonOption() {
  ftxui::ButtonOption option;
  option.transform = [](const ftxui::EntryState& state) {
    ftxui::Element element = ftxui::text(state.label);
    if (state.active) {
      element |= ftxui::bold;
    }
    if (state.focused) {
      element |= ftxui::inverted;
    }
    return element;
  };
  return option;
}

}  // namespace plimsy

#endif  // PLIMSY_UI_SIMPLE_BUTTON_H_
