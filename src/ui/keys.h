#ifndef PLIMSY_UI_KEYS_H_
#define PLIMSY_UI_KEYS_H_

#include <ftxui/component/event.hpp>

namespace plimsy {

// Home and End as xterm, tmux, screen, rxvt and the Linux console send
// them, in both cursor key modes, and as g and G.
inline bool IsHome(const ftxui::Event& event) {
  using ftxui::Event;
  return event == Event::Home || event == Event::Special("\x1B[1~") ||
         event == Event::Special("\x1B[7~") ||
         event == Event::Special("\x1BOH") || event == Event::Character('g');
}

inline bool IsEnd(const ftxui::Event& event) {
  using ftxui::Event;
  return event == Event::End || event == Event::Special("\x1B[4~") ||
         event == Event::Special("\x1B[8~") ||
         event == Event::Special("\x1BOF") || event == Event::Character('G');
}

}  // namespace plimsy

#endif  // PLIMSY_UI_KEYS_H_
