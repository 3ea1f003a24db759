#ifndef PLIMSY_LOG_PANES_H_
#define PLIMSY_LOG_PANES_H_

#include <ftxui/component/component_base.hpp>

#include "log/state.h"
#include "ui/pane_row.h"

namespace plimsy::log {

// The commit list, the file list and the content side by side, their
// widths fitted to the window's on every frame. The width the commit list
// is drawn with goes to the state's `commits_width`.
PaneRowParts Panes(State& state,
                   ftxui::Component commits_pane,
                   ftxui::Component files_pane,
                   ftxui::Component content_pane);

}  // namespace plimsy::log

#endif  // PLIMSY_LOG_PANES_H_
