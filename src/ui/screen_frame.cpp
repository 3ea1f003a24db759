#include "ui/screen_frame.h"

#include <algorithm>
#include <memory>
#include <utility>

#include <ftxui/component/component.hpp>
#include <ftxui/component/mouse.hpp>
#include <ftxui/screen/box.hpp>

#include "ui/header.h"
#include "ui/key_table.h"
#include "ui/layout.h"
#include "ui/search.h"
#include "ui/terminal_cells.h"

namespace plimsy {
namespace {

using ftxui::Box;
using ftxui::Component;
using ftxui::Element;
using ftxui::Event;
using ftxui::Mouse;

class ScreenFrameBase : public ftxui::ComponentBase {
 public:
  ScreenFrameBase(Component body, ScreenFrameOptions options)
      : options_(std::move(options)), no_color_(NoColorRequested()) {
    Add(std::move(body));
    keys_ = FrameKeys();
    if (options_.controls) {
      AddKeys(options_.controls->keys);
    }
    AddKeys(PaneKeys());
    AddKeys(SearchKeys());
    AddKeys(options_.keys);
    AddKeys(options_.first_keys);
    keys_.push_back(
        {{Event::Character('q'), Event::Character('Q'), Event::Escape},
         {},
         "q Esc",
         kGeneralKeys,
         "quit",
         [this](const Event&) {
           options_.exit();
           return std::string();
         },
         "q quit"});
  }

  Element OnRender() override {
    // Built once the width is known, which the controls may follow.
    return AtSize([this](int width, int height) {
      if (options_.controls && options_.controls->fit) {
        options_.controls->fit(width);
      }
      return Draw(width, height);
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
    const KeyBinding* key = FindKey(options_.first_keys, event);
    if (key == nullptr) {
      key = FindKey(keys_, event);
    }
    if (key != nullptr) {
      notice_ = key->action(event);
      return true;
    }
    return ComponentBase::OnEvent(event);
  }

 private:
  Element Draw(int width, int height) {
    Element main = ftxui::vbox({
        HeaderBar(options_.title.empty() ? options_.name : options_.title,
                  options_.status ? options_.status() : "",
                  options_.controls ? &*options_.controls : nullptr, quit_box_,
                  no_color_),
        ActiveChild() ? ActiveChild()->Render() | ftxui::flex : ftxui::filler(),
        BottomLine(),
    });
    if (!help_open_) {
      return main;
    }
    return ftxui::dbox({
        std::move(main),
        KeyHelp(keys_, options_.name, width, height),
    });
  }

  void AddKeys(const std::vector<KeyBinding>& keys) {
    keys_.insert(keys_.end(), keys.begin(), keys.end());
  }

  // The keys listed first: the help and the panes' focus.
  std::vector<KeyBinding> FrameKeys() {
    return {
        {{Event::Character('?'), Event::F1, Event::Special("\x1B[11~")},
         {},
         "? F1",
         kGeneralKeys,
         "this help; any key closes it",
         [this](const Event&) {
           help_open_ = true;
           return std::string();
         },
         "? help"},
        {{Event::Tab},
         {},
         "Tab",
         kGeneralKeys,
         "next pane",
         [this](const Event&) {
           FocusBeside(1, true);
           return std::string();
         },
         "Tab pane"},
        {{Event::TabReverse},
         {},
         "Shift-Tab",
         kGeneralKeys,
         "previous pane",
         [this](const Event&) {
           FocusBeside(-1, true);
           return std::string();
         },
         ""},
    };
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
    if (options_.controls && options_.controls->click(mouse.x, mouse.y)) {
      notice_.clear();
      return true;
    }
    if (quit_box_.Contain(mouse.x, mouse.y)) {
      notice_.clear();
      options_.exit();
      return true;
    }
    return false;
  }

  Element BottomLine() const {
    if (prompt_.open) {
      return PromptLine(prompt_);
    }
    if (options_.progress) {
      if (std::string progress = options_.progress(); !progress.empty()) {
        return ftxui::text(std::move(progress)) | ftxui::bold;
      }
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
  Box quit_box_{0, -1, 0, -1};
};

}  // namespace

Component ScreenFrame(Component body, ScreenFrameOptions options) {
  return std::make_shared<ScreenFrameBase>(std::move(body), std::move(options));
}

}  // namespace plimsy
