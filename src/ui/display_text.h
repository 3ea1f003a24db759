#ifndef PLIMSY_UI_DISPLAY_TEXT_H_
#define PLIMSY_UI_DISPLAY_TEXT_H_

#include <string>
#include <string_view>

namespace plimsy {

// Turns bytes that git printed into text that is safe to draw: each maximal
// invalid UTF-8 subpart becomes U+FFFD and control characters (C0, DEL, C1)
// are dropped. Valid text without controls comes back unchanged.
std::string DisplayText(std::string_view bytes);

}  // namespace plimsy

#endif  // PLIMSY_UI_DISPLAY_TEXT_H_
