#ifndef PLIMSY_UI_TERMINAL_CELLS_H_
#define PLIMSY_UI_TERMINAL_CELLS_H_

#include <ftxui/component/component_base.hpp>
#include <ftxui/dom/elements.hpp>

namespace plimsy {

// Whether the user asked for no colour: NO_COLOR is set and not empty.
bool NoColorRequested();

// Draws `element`, then makes its cells what the terminal will show: a wide
// character with no room for its second cell (at the edge of the screen,
// or where its column ends and another one's cells follow) gives way to a
// dim "›" instead of covering its neighbour, and with `no_color` no cell
// keeps a colour (bold, dim and inverse stay).
ftxui::Element TerminalCells(ftxui::Element element, bool no_color);

// `child`, drawn through TerminalCells with NO_COLOR as the environment
// has it when this is called.
ftxui::Component TerminalCells(ftxui::Component child);

}  // namespace plimsy

#endif  // PLIMSY_UI_TERMINAL_CELLS_H_
