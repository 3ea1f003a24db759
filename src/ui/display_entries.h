#ifndef PLIMSY_UI_DISPLAY_ENTRIES_H_
#define PLIMSY_UI_DISPLAY_ENTRIES_H_

#include <string>
#include <vector>

#include <ftxui/util/ref.hpp>

namespace plimsy {

// Menu entries over `entries` that show each raw entry as safe display
// text. The menu sees the live list, so entries appended or replaced later
// show at the next frame.
ftxui::ConstStringListRef DisplayEntries(
    const std::vector<std::string>& entries);

}  // namespace plimsy

#endif  // PLIMSY_UI_DISPLAY_ENTRIES_H_
