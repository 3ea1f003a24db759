#ifndef PLIMSY_UI_STOP_KEY_H_
#define PLIMSY_UI_STOP_KEY_H_

#include <functional>
#include <string>

#include "ui/key_binding.h"

namespace plimsy {

// Escape while a screen reads on for a goal (`reading` says when): runs
// `stop`, leaving the position where it is. Listed under `group`; at other
// times Escape keeps its own meaning.
KeyBinding StopReadingKey(std::string group,
                          std::function<bool()> reading,
                          std::function<void()> stop);

}  // namespace plimsy

#endif  // PLIMSY_UI_STOP_KEY_H_
