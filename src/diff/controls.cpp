#include "diff/controls.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <ftxui/component/event.hpp>
#include <ftxui/screen/box.hpp>

namespace plimsy {
namespace {

using ftxui::Box;
using ftxui::Element;
using ftxui::Event;

// How the controls are worded in each form.
struct Words {
  const char* split;
  const char* whitespace;
  const char* context;
  // Between the split box and the whitespace box.
  const char* gap;
};

constexpr Words kWords[kControlForms] = {
    {"[S]plit", "[W]hitespace", "   Context:", "  "},
    {"[S]plit", "[W]hitespace", " C:", " "},
    {"[S]", "[W]", " C:", " "},
    {"[S]", "[W]", " ", " "},
};

// The controls, and where the last frame drew their buttons.
struct Drawn {
  DiffControls controls;
  Box split{0, -1, 0, -1};
  Box whitespace{0, -1, 0, -1};
  Box minus{0, -1, 0, -1};
  Box plus{0, -1, 0, -1};
};

void ToggleSplit(const DiffControls& controls) {
  *controls.split = !*controls.split;
  if (controls.split_chosen != nullptr) {
    *controls.split_chosen = *controls.split;
  }
}

void ToggleWhitespace(const DiffControls& controls) {
  *controls.ignore_whitespace = !*controls.ignore_whitespace;
  if (controls.whitespace_changed) {
    controls.whitespace_changed();
  }
}

Element Checkbox(bool checked, const char* label, Box& box) {
  return ftxui::text(std::string(checked ? "▣ " : "☐ ") + label) |
         ftxui::reflect(box);
}

ftxui::Elements Render(Drawn& drawn, int form) {
  const Words& words = kWords[form];
  const DiffControls& controls = drawn.controls;
  ftxui::Elements items = {Checkbox(*controls.split, words.split, drawn.split)};
  if (controls.ignore_whitespace != nullptr) {
    items.push_back(ftxui::text(words.gap));
    items.push_back(Checkbox(*controls.ignore_whitespace, words.whitespace,
                             drawn.whitespace));
  }
  if (controls.context != nullptr) {
    items.push_back(ftxui::text(words.context));
    items.push_back(ftxui::text("[-1]") | ftxui::reflect(drawn.minus));
    items.push_back(ftxui::text(std::to_string(*controls.context)));
    items.push_back(ftxui::text("[+1]") | ftxui::reflect(drawn.plus));
  }
  return items;
}

// The whitespace box and the context's buttons are drawn, and so clicked,
// only when they can change the diff.
bool Click(const Drawn& drawn, int x, int y) {
  const DiffControls& controls = drawn.controls;
  const std::pair<const Box*, std::function<void()>> targets[] = {
      {&drawn.split, [&controls] { ToggleSplit(controls); }},
      {&drawn.whitespace, [&controls] { ToggleWhitespace(controls); }},
      {&drawn.minus, controls.less_context},
      {&drawn.plus, controls.more_context},
  };
  for (const auto& [box, action] : targets) {
    if (box->Contain(x, y)) {
      action();
      return true;
    }
  }
  return false;
}

void Forget(Drawn& drawn) {
  for (Box* box :
       {&drawn.split, &drawn.whitespace, &drawn.minus, &drawn.plus}) {
    *box = Box{0, -1, 0, -1};
  }
}

std::vector<KeyBinding> Keys(const DiffControls& controls) {
  std::vector<KeyBinding> keys = {
      {{Event::Character('s'), Event::Character('S')},
       {},
       "s",
       kGeneralKeys,
       "split or joined layout",
       [controls](const Event&) {
         ToggleSplit(controls);
         return std::string();
       },
       "s split"},
  };
  if (controls.ignore_whitespace != nullptr) {
    keys.push_back({{Event::Character('W')},
                    {},
                    "W",
                    kGeneralKeys,
                    "ignore whitespace (git diff -w)",
                    [controls](const Event&) {
                      ToggleWhitespace(controls);
                      return std::string();
                    },
                    "W whitespace"});
  }
  if (controls.context == nullptr) {
    return keys;
  }
  keys.push_back({{Event::Character('-'), Event::Character('+')},
                  {},
                  "- +",
                  kGeneralKeys,
                  "one context line fewer / more",
                  [controls](const Event& event) {
                    (event == Event::Character('-') ? controls.less_context
                                                    : controls.more_context)();
                    return std::string();
                  },
                  "-/+ context"});
  return keys;
}

}  // namespace

HeaderControls DiffHeaderControls(DiffControls controls) {
  auto drawn = std::make_shared<Drawn>();
  drawn->controls = std::move(controls);
  HeaderControls header;
  header.render = [drawn](int form) { return Render(*drawn, form); };
  header.click = [drawn](int x, int y) { return Click(*drawn, x, y); };
  header.forget = [drawn] { Forget(*drawn); };
  if (drawn->controls.split_chosen != nullptr) {
    header.fit = [drawn](int width) {
      const DiffControls& controls = drawn->controls;
      *controls.split = ShowsSplit(*controls.split_chosen, width);
    };
  }
  header.keys = Keys(drawn->controls);
  return header;
}

bool ShowsSplit(const std::optional<bool>& chosen, int width) {
  return chosen.value_or(width >= 100);
}

}  // namespace plimsy
