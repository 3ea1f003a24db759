#include "ui/screen_frame.h"

#include <algorithm>
#include <memory>
#include <utility>

#include <ftxui/component/component.hpp>
#include <ftxui/component/mouse.hpp>
#include <ftxui/dom/node.hpp>
#include <ftxui/screen/box.hpp>
#include <ftxui/screen/color.hpp>
#include <ftxui/screen/screen.hpp>

#include "ui/display_text.h"
#include "ui/key_table.h"
#include "ui/layout.h"
#include "ui/terminal_cells.h"

namespace plimsy {
namespace {

using ftxui::Box;
using ftxui::Color;
using ftxui::Component;
using ftxui::Element;
using ftxui::Elements;
using ftxui::Event;
using ftxui::Mouse;

// How the header is worded at one width.
struct HeaderWords {
  const char* title;
  const char* split;
  const char* whitespace;
  const char* context;
  const char* quit;
  const char* gap;
  bool status;
  bool controls;
};

// From the widest to the narrowest: words go before labels are shortened,
// and a label is shown whole or not at all.
constexpr HeaderWords kHeaderWords[] = {
    {"[plimsy %s]", "[S]plit", "[W]hitespace", "   Context:", "[Q]uit", "  ",
     true, true},
    {"plimsy", "[S]plit", "[W]hitespace", " C:", "[Q]uit", " ", true, true},
    {"plimsy", "[S]", "[W]", " C:", "[Q]", " ", true, true},
    {"[plimsy %s]", "[S]plit", "[W]hitespace", "   Context:", "[Q]uit", "  ",
     false, true},
    {"plimsy", "[S]plit", "[W]hitespace", " C:", "[Q]uit", " ", false, true},
    {"plimsy", "[S]", "[W]", " C:", "[Q]", " ", false, true},
    {"", "[S]", "[W]", " C:", "[Q]", " ", false, true},
    {"", "[S]", "[W]", " ", "[Q]", " ", false, true},
    {"", "", "", "", "[Q]", "", false, false},
};

class ScreenFrameBase : public ftxui::ComponentBase {
 public:
  ScreenFrameBase(Component body, ScreenFrameOptions options)
      : options_(std::move(options)), no_color_(NoColorRequested()) {
    Add(std::move(body));
    keys_ = FrameKeys();
    AddKeys(PaneKeys());
    AddKeys(SearchKeys());
    AddKeys(options_.keys);
    keys_.push_back(
        {{Event::Character('q'), Event::Character('Q'), Event::Escape},
         {},
         "q Esc",
         "General",
         "quit",
         [this](const Event&) {
           options_.exit();
           return std::string();
         },
         "q quit"});
  }

  Element OnRender() override {
    Element main = ftxui::vbox({
        Header(),
        ActiveChild() ? ActiveChild()->Render() | ftxui::flex : ftxui::filler(),
        BottomLine(),
    });
    if (!help_open_) {
      return main;
    }
    return ftxui::dbox({
        std::move(main),
        AtSize([this](int width, int height) {
          return KeyHelp(keys_, options_.name, width, height);
        }),
    });
  }

  bool OnEvent(Event event) override {
    if (event == Event::Custom) {
      return ComponentBase::OnEvent(event);
    }
    if (help_open_) {
      if (!event.is_mouse() || event.mouse().motion == Mouse::Pressed) {
        help_open_ = false;
      }
      return true;
    }
    if (prompt_.open) {
      if (!event.is_mouse() && TypeInPrompt(prompt_, event)) {
        if (options_.view != nullptr) {
          options_.view->highlight = prompt_.finder;
        }
        notice_ = prompt_.finder == nullptr ? std::string() : Search(true);
      }
      return true;
    }
    if (event.is_mouse()) {
      return OnHeaderClick(event) || ComponentBase::OnEvent(event);
    }
    notice_.clear();
    if (const KeyBinding* key = FindKey(keys_, event)) {
      notice_ = key->action(event);
      return true;
    }
    return ComponentBase::OnEvent(event);
  }

 private:
  void AddKeys(const std::vector<KeyBinding>& keys) {
    keys_.insert(keys_.end(), keys.begin(), keys.end());
  }

  // The keys listed first: the help, the panes' focus and the controls.
  std::vector<KeyBinding> FrameKeys() {
    std::vector<KeyBinding> keys = {
        {{Event::Character('?'), Event::F1, Event::Special("\x1B[11~")},
         {},
         "? F1",
         "General",
         "this help; any key closes it",
         [this](const Event&) {
           help_open_ = true;
           return std::string();
         },
         "? help"},
        {{Event::Tab},
         {},
         "Tab",
         "General",
         "next pane",
         [this](const Event&) {
           FocusBeside(1, true);
           return std::string();
         },
         "Tab pane"},
        {{Event::TabReverse},
         {},
         "Shift-Tab",
         "General",
         "previous pane",
         [this](const Event&) {
           FocusBeside(-1, true);
           return std::string();
         },
         ""},
        {{Event::Character('s'), Event::Character('S')},
         {},
         "s",
         "General",
         "split or joined layout",
         [this](const Event&) {
           *options_.split = !*options_.split;
           return std::string();
         },
         "s split"},
        {{Event::Character('W')},
         {},
         "W",
         "General",
         "ignore whitespace (git diff -w)",
         [this](const Event&) {
           ToggleWhitespace();
           return std::string();
         },
         "W whitespace"},
        {{Event::Character('-'), Event::Character('+')},
         {},
         "- +",
         "General",
         "one context line fewer / more",
         [this](const Event& event) {
           (event == Event::Character('-') ? options_.less_context
                                           : options_.more_context)();
           return std::string();
         },
         "-/+ context"},
    };
    // A screen that cannot read its text again has no whitespace toggle.
    if (options_.ignore_whitespace == nullptr) {
      std::erase_if(keys,
                    [](const KeyBinding& key) { return key.label == "W"; });
    }
    return keys;
  }

  std::vector<KeyBinding> SearchKeys() {
    return {
        {{Event::Character('/')},
         {},
         "/",
         "Search",
         "search the focused pane",
         [this](const Event&) {
           prompt_.open = true;
           prompt_.typed.clear();
           return std::string();
         },
         "/ search"},
        {{Event::Character('n'), Event::Character('N')},
         {},
         "n N",
         "Search",
         "next / previous match",
         [this](const Event& event) {
           if (prompt_.finder == nullptr) {
             return std::string("No search yet: / searches");
           }
           return Search(event == Event::Character('n'));
         },
         ""},
    };
  }

  // The keys of the panes' widgets, each listed once: a key whose events
  // the keys listed before all answer is another pane's same key. They go
  // to the focused pane alone, and no further even when it leaves them, so
  // that the containers around the panes do not move the focus by them.
  std::vector<KeyBinding> PaneKeys() {
    const auto to_pane = [this](const Event& event) {
      if (FramePane* pane = FocusedPane()) {
        pane->component->OnEvent(event);
      }
      return std::string();
    };
    std::vector<KeyBinding> keys;
    for (const FramePane& pane : options_.panes) {
      const auto* widget =
          dynamic_cast<const KeyedWidget*>(pane.component.get());
      if (widget == nullptr) {
        continue;
      }
      for (KeyBinding key : widget->Keys()) {
        if (key.group.empty()) {
          key.group = pane.heading;
        }
        const bool listed =
            !key.events.empty() &&
            std::all_of(key.events.begin(), key.events.end(),
                        [&keys](const Event& event) {
                          return FindKey(keys, event) != nullptr;
                        });
        if (!listed) {
          key.action = to_pane;
          keys.push_back(std::move(key));
        }
      }
    }
    // Left and right move the focus to the pane beside when the focused
    // pane leaves them, as a list does.
    KeyBinding beside = {
        {Event::ArrowRight, Event::ArrowLeft},
        {},
        "→ ←",
        kPaneMoveKeys,
        "lists: next pane",
        [this](const Event& event) {
          FramePane* pane = FocusedPane();
          if (pane != nullptr && !pane->component->OnEvent(event)) {
            FocusBeside(event == Event::ArrowRight ? 1 : -1, false);
          }
          return std::string();
        },
        ""};
    const auto taken = std::find_if(
        keys.begin(), keys.end(),
        [](const KeyBinding& key) { return Matches(key, Event::ArrowRight); });
    if (taken == keys.end()) {
      keys.push_back(std::move(beside));
    } else {
      beside.description = taken->description + "; " + beside.description;
      *taken = std::move(beside);
    }
    return keys;
  }

  FramePane* FocusedPane() {
    for (FramePane& pane : options_.panes) {
      if (pane.component->Focused()) {
        return &pane;
      }
    }
    return options_.panes.empty() ? nullptr : &options_.panes.front();
  }

  void FocusBeside(int step, bool round) {
    const int count = static_cast<int>(options_.panes.size());
    if (count == 0) {
      return;
    }
    const int current = static_cast<int>(FocusedPane() - options_.panes.data());
    int next = current + step;
    if (round) {
      next = (next + count) % count;
    } else if (next < 0 || next >= count) {
      return;
    }
    options_.panes[next].component->TakeFocus();
  }

  void ToggleWhitespace() {
    if (options_.ignore_whitespace == nullptr) {
      return;
    }
    *options_.ignore_whitespace = !*options_.ignore_whitespace;
    if (options_.whitespace_changed) {
      options_.whitespace_changed();
    }
  }

  std::string Search(bool forward) {
    FramePane* pane = FocusedPane();
    if (pane == nullptr || !pane->search) {
      return "Nothing to search here";
    }
    return SearchNotice(pane->search(*prompt_.finder, forward), forward,
                        *prompt_.finder);
  }

  bool OnHeaderClick(Event event) {
    const Mouse mouse = event.mouse();
    if (mouse.button != Mouse::Left || mouse.motion != Mouse::Pressed) {
      return false;
    }
    const std::pair<Box*, std::function<void()>> targets[] = {
        {&split_box_, [this] { *options_.split = !*options_.split; }},
        {&whitespace_box_, [this] { ToggleWhitespace(); }},
        {&minus_box_, options_.less_context},
        {&plus_box_, options_.more_context},
        {&quit_box_, options_.exit},
    };
    for (const auto& [box, action] : targets) {
      if (box->Contain(mouse.x, mouse.y)) {
        notice_.clear();
        action();
        return true;
      }
    }
    return false;
  }

  void ForgetBoxes() {
    for (Box* box :
         {&split_box_, &whitespace_box_, &minus_box_, &plus_box_, &quit_box_}) {
      *box = Box{0, -1, 0, -1};
    }
  }

  Element Checkbox(bool checked, const char* label, Box& box) const {
    return ftxui::text(std::string(checked ? "▣ " : "☐ ") + label) |
           ftxui::reflect(box);
  }

  Element HeaderAt(const HeaderWords& words, const std::string& status) {
    Elements items;
    if (*words.title != '\0') {
      std::string title = words.title;
      const size_t mark = title.find("%s");
      if (mark != std::string::npos) {
        title.replace(mark, 2, options_.name);
      }
      items.push_back(ftxui::text(title));
    }
    if (words.status && !status.empty()) {
      items.push_back(ftxui::text(" " + status) | ftxui::dim);
    }
    items.push_back(ftxui::filler());
    if (words.controls) {
      items.push_back(Checkbox(*options_.split, words.split, split_box_));
      if (options_.ignore_whitespace != nullptr) {
        items.push_back(ftxui::text(words.gap));
        items.push_back(Checkbox(*options_.ignore_whitespace, words.whitespace,
                                 whitespace_box_));
      }
      items.push_back(ftxui::text(words.context));
      items.push_back(ftxui::text("[-1]") | ftxui::reflect(minus_box_));
      items.push_back(ftxui::text(std::to_string(*options_.context)));
      items.push_back(ftxui::text("[+1]") | ftxui::reflect(plus_box_));
      items.push_back(ftxui::filler());
      items.push_back(ftxui::text(words.gap));
    }
    items.push_back(ftxui::text(words.quit) | ftxui::reflect(quit_box_));
    return ftxui::hbox(std::move(items));
  }

  Element Header() {
    const std::string status =
        options_.status ? DisplayText(options_.status()) : std::string();
    Elements choices;
    for (const HeaderWords& words : kHeaderWords) {
      if (words.status && status.empty()) {
        continue;
      }
      choices.push_back(HeaderAt(words, status));
    }
    Element bar = FirstThatFits(std::move(choices), [this] { ForgetBoxes(); });
    // Without colours the bar would not stand out at all.
    if (no_color_) {
      return bar | ftxui::inverted;
    }
    return bar | ftxui::bgcolor(Color::White) | ftxui::color(Color::Black);
  }

  Element BottomLine() const {
    if (prompt_.open) {
      return PromptLine(prompt_);
    }
    if (!notice_.empty()) {
      return ftxui::text(notice_) | ftxui::bold;
    }
    return HintLine(keys_);
  }

  ScreenFrameOptions options_;
  const bool no_color_;
  std::vector<KeyBinding> keys_;
  bool help_open_ = false;
  SearchPrompt prompt_;
  std::string notice_;
  Box split_box_{0, -1, 0, -1};
  Box whitespace_box_{0, -1, 0, -1};
  Box minus_box_{0, -1, 0, -1};
  Box plus_box_{0, -1, 0, -1};
  Box quit_box_{0, -1, 0, -1};
};

}  // namespace

bool StartsSplit(int width) {
  return width >= 100;
}

Component ScreenFrame(Component body, ScreenFrameOptions options) {
  return std::make_shared<ScreenFrameBase>(std::move(body), std::move(options));
}

}  // namespace plimsy
