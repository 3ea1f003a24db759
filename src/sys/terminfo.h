#ifndef PLIMSY_SYS_TERMINFO_H_
#define PLIMSY_SYS_TERMINFO_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plimsy {

// The terminfo directories in the order the terminal library searches them:
// $TERMINFO, ~/.terminfo, $TERMINFO_DIRS (an empty entry standing for the
// system's), then the system's own.
std::vector<std::string> TerminfoDirectories();

// Whether a compiled terminfo entry, the bytes of its file, can address
// the cursor (has "cup"). Empty when the bytes are no such entry.
std::optional<bool> EntryCursorAddressing(std::string_view entry);

// Whether the compiled terminfo entry of terminal type `term`, looked up in
// `directories`, can address the cursor (has "cup"). Empty when no readable
// entry is found.
std::optional<bool> TerminfoCursorAddressing(
    std::string_view term,
    const std::vector<std::string>& directories);

}  // namespace plimsy

#endif  // PLIMSY_SYS_TERMINFO_H_
