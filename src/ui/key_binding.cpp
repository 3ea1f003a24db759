#include "ui/key_binding.h"

#include <algorithm>

namespace plimsy {

bool Matches(const KeyBinding& key, const ftxui::Event& event) {
  return std::find(key.events.begin(), key.events.end(), event) !=
             key.events.end() ||
         (key.matches && key.matches(event));
}

const KeyBinding* FindKey(const std::vector<KeyBinding>& keys,
                          const ftxui::Event& event) {
  const auto found = std::find_if(
      keys.begin(), keys.end(),
      [&event](const KeyBinding& key) { return Matches(key, event); });
  return found == keys.end() ? nullptr : &*found;
}

}  // namespace plimsy
