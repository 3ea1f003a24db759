#ifndef PLIMSY_UI_KEY_BINDING_H_
#define PLIMSY_UI_KEY_BINDING_H_

#include <functional>
#include <string>
#include <vector>

#include <ftxui/component/event.hpp>

namespace plimsy {

// A key: the events it answers, what the help shows of it, and what it
// does. The help is made from the same keys that are handled, so it shows
// no key that does nothing.
struct KeyBinding {
  std::vector<ftxui::Event> events;
  // Other forms of the key, when a list of events would not do.
  std::function<bool(const ftxui::Event&)> matches;
  // The key as the help shows it, such as "j k ↓ ↑".
  std::string label;
  // The heading it is listed under in the help; empty for a widget's keys
  // that only its own kind of pane takes, which the help lists under the
  // pane's heading.
  std::string group;
  std::string description;
  // What the key does; returns what to tell the user, or nothing.
  std::function<std::string(const ftxui::Event&)> action;
  // The key and a word for the hint line, such as "s split"; none when
  // empty.
  std::string hint;
};

// The heading of the keys that act on the whole screen.
inline constexpr char kGeneralKeys[] = "General";

// The heading of the keys that move in whichever pane has the focus.
inline constexpr char kPaneMoveKeys[] = "Move in the focused pane";

// A widget that tells the keys it takes, so that the help of a screen
// that shows it can list them.
class KeyedWidget {
 public:
  virtual ~KeyedWidget() = default;
  // The keys, each with the widget's own handling of it.
  virtual std::vector<KeyBinding> Keys() const = 0;
};

// Whether `event` is one of `key`'s forms.
bool Matches(const KeyBinding& key, const ftxui::Event& event);

// The first of `keys` that `event` matches; null when none does.
const KeyBinding* FindKey(const std::vector<KeyBinding>& keys,
                          const ftxui::Event& event);

}  // namespace plimsy

#endif  // PLIMSY_UI_KEY_BINDING_H_
