#ifndef PLIMSY_UI_DISPLAY_TEXT_H_
#define PLIMSY_UI_DISPLAY_TEXT_H_

#include <string>
#include <string_view>

namespace plimsy {

// Turns bytes that git printed into text that is safe to draw and that the
// terminal draws in exactly the cells the screen's layout gives it: each
// maximal invalid UTF-8 subpart becomes U+FFFD, control characters (C0, DEL,
// C1) are dropped, a tab becomes blanks up to the next multiple of 8
// columns, and characters that terminals draw in no cell (zero-width and
// format characters, bidirectional controls, lone Hangul jamo) show as
// "<U+XXXX>". Valid text without any of these comes back unchanged.
std::string DisplayText(std::string_view bytes);

}  // namespace plimsy

#endif  // PLIMSY_UI_DISPLAY_TEXT_H_
