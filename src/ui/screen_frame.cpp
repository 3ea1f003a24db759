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
#include <ftxui/screen/string.hpp>

#include "ui/display_text.h"
#include "ui/keys.h"
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

constexpr const char* kHelpMouse =
    "Mouse: a click selects or focuses, the wheel scrolls the pane under the "
    "pointer, a divider drags.";

bool IsPrintable(const Event& event) {
  if (!event.is_character()) {
    return false;
  }
  const std::string& input = event.input();
  return !input.empty() && static_cast<unsigned char>(input[0]) >= 0x20 &&
         input[0] != 0x7F;
}

class ScreenFrameBase : public ftxui::ComponentBase {
 public:
  ScreenFrameBase(Component body, ScreenFrameOptions options)
      : options_(std::move(options)), no_color_(NoColorRequested()) {
    Add(std::move(body));
    keys_ = CommonKeys();
    keys_.insert(keys_.end(), options_.keys.begin(), options_.keys.end());
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
        AtSize([this](int width, int height) { return Help(width, height); }),
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
    if (prompt_open_) {
      if (!event.is_mouse()) {
        OnPromptEvent(event);
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
  std::vector<KeyBinding> CommonKeys() {
    const auto to_pane = [this](const Event& event) {
      if (FramePane* pane = FocusedPane()) {
        pane->component->OnEvent(event);
      }
      return std::string();
    };
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
        {{Event::Character('j'), Event::Character('k'), Event::ArrowDown,
          Event::ArrowUp},
         {},
         "j k ↓ ↑",
         "Move in the focused pane",
         "next / previous row",
         to_pane,
         ""},
        {{Event::PageDown, Event::PageUp},
         {},
         "PgDn PgUp",
         "Move in the focused pane",
         "a page down / up",
         to_pane,
         ""},
        {{},
         [](const Event& event) { return IsHome(event) || IsEnd(event); },
         "g G Home End",
         "Move in the focused pane",
         "first / last row",
         to_pane,
         ""},
        {{Event::ArrowRight, Event::ArrowLeft},
         {},
         "→ ←",
         "Move in the focused pane",
         "scroll 8 columns; lists: next pane",
         [this](const Event& event) {
           FramePane* pane = FocusedPane();
           if (pane != nullptr && !pane->component->OnEvent(event)) {
             FocusBeside(event == Event::ArrowRight ? 1 : -1, false);
           }
           return std::string();
         },
         ""},
        {{Event::Character('l'), Event::Character('h')},
         {},
         "l h",
         "Difference pane",
         "scroll across by 8 columns",
         to_pane,
         ""},
        {{Event::Character('0'), Event::Special("\x1B[1;2D")},
         {},
         "0 Shift-←",
         "Difference pane",
         "back to the first column",
         to_pane,
         ""},
        {{Event::Special("\x1B[1;2C")},
         {},
         "Shift-→",
         "Difference pane",
         "to the end of the longest line",
         to_pane,
         ""},
        {{Event::Character('w')},
         {},
         "w",
         "Difference pane",
         "wrap long lines, or cut them",
         to_pane,
         ""},
        {{Event::Character('/')},
         {},
         "/",
         "Search",
         "search the focused pane",
         [this](const Event&) {
           prompt_open_ = true;
           typed_.clear();
           return std::string();
         },
         "/ search"},
        {{Event::Character('n'), Event::Character('N')},
         {},
         "n N",
         "Search",
         "next / previous match",
         [this](const Event& event) {
           if (finder_ == nullptr) {
             return std::string("No search yet: / searches");
           }
           return Search(event == Event::Character('n'));
         },
         ""},
    };
    // A screen that cannot read its text again has no whitespace toggle.
    if (options_.ignore_whitespace == nullptr) {
      std::erase_if(keys,
                    [](const KeyBinding& key) { return key.label == "W"; });
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

  void OnPromptEvent(const Event& event) {
    if (event == Event::Escape) {
      prompt_open_ = false;
      return;
    }
    if (event == Event::Return) {
      prompt_open_ = false;
      if (!typed_.empty()) {
        finder_ = std::make_shared<const Finder>(typed_);
        if (options_.view != nullptr) {
          options_.view->highlight = finder_;
        }
      }
      notice_ = finder_ == nullptr ? std::string() : Search(true);
      return;
    }
    if (event == Event::Backspace) {
      if (typed_.empty()) {
        prompt_open_ = false;
        return;
      }
      // Back over a whole character and whatever combines with it.
      std::vector<std::string> glyphs = ftxui::Utf8ToGlyphs(typed_);
      while (!glyphs.empty() && glyphs.back().empty()) {
        glyphs.pop_back();
      }
      if (!glyphs.empty()) {
        typed_.resize(typed_.size() - glyphs.back().size());
      }
      return;
    }
    if (IsPrintable(event)) {
      typed_ += event.input();
    }
  }

  std::string Search(bool forward) {
    FramePane* pane = FocusedPane();
    if (pane == nullptr || !pane->search) {
      return "Nothing to search here";
    }
    switch (pane->search(*finder_, forward)) {
      case SearchResult::kFound:
        return std::string();
      case SearchResult::kWrapped:
        return forward ? "Search went past the end, on from the top"
                       : "Search went past the top, on from the end";
      case SearchResult::kNotFound:
        return "Not found: " + DisplayText(finder_->term());
      case SearchResult::kNothing:
        break;
    }
    return "Nothing to search here";
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
    if (prompt_open_) {
      return ftxui::hbox({
          ftxui::text("/" + DisplayText(typed_)),
          ftxui::text(" ") | ftxui::inverted,
          ftxui::filler(),
      });
    }
    if (!notice_.empty()) {
      return ftxui::text(notice_) | ftxui::bold;
    }
    // The hint keeps as many whole entries as fit.
    std::vector<std::string> hints;
    for (const KeyBinding& key : keys_) {
      if (!key.hint.empty()) {
        hints.push_back(key.hint);
      }
    }
    Elements choices;
    for (size_t count = hints.size(); count > 0; --count) {
      std::string line;
      for (size_t i = 0; i < count; ++i) {
        line += (i == 0 ? "" : "  ") + hints[i];
      }
      choices.push_back(ftxui::text(line));
    }
    return FirstThatFits(std::move(choices)) | ftxui::dim;
  }

  // The keys, grouped, in one column, or in two when one is too tall for
  // the screen and two fit across it.
  Element Help(int width, int height) const {
    std::vector<std::string> groups;
    int label_width = 0;
    int description_width = 0;
    for (const KeyBinding& key : keys_) {
      if (std::find(groups.begin(), groups.end(), key.group) == groups.end()) {
        groups.push_back(key.group);
      }
      label_width = std::max(label_width, ftxui::string_width(key.label));
      description_width =
          std::max(description_width, ftxui::string_width(key.description));
    }
    std::vector<Elements> sections;
    int rows = 0;
    for (const std::string& group : groups) {
      Elements section = {ftxui::text(group) | ftxui::bold};
      for (const KeyBinding& key : keys_) {
        if (key.group == group) {
          section.push_back(ftxui::hbox({
              ftxui::text(key.label) |
                  ftxui::size(ftxui::WIDTH, ftxui::EQUAL, label_width + 2),
              // Cut first, so that the keys stay in one column.
              ftxui::text(key.description) | ftxui::xflex_shrink,
          }));
        }
      }
      rows += static_cast<int>(section.size()) + 1;
      sections.push_back(std::move(section));
    }
    const int column_width = label_width + 2 + description_width;
    // Borders, the gap between the columns, the mouse row and the title.
    const bool two_columns = width >= 2 * column_width + 4 && rows + 2 > height;
    std::vector<Elements> columns(two_columns ? 2 : 1);
    int filled = 0;
    for (Elements& section : sections) {
      Elements& column = columns[two_columns && filled >= rows / 2 ? 1 : 0];
      filled += static_cast<int>(section.size()) + 1;
      if (!column.empty()) {
        column.push_back(ftxui::text(""));
      }
      for (Element& row : section) {
        column.push_back(std::move(row));
      }
    }
    Elements across;
    for (Elements& column : columns) {
      if (!across.empty()) {
        across.push_back(ftxui::text("  "));
      }
      across.push_back(ftxui::vbox(std::move(column)));
    }
    return ftxui::window(ftxui::text(" Keys of plimsy " + options_.name + " "),
                         ftxui::vbox({
                             ftxui::hbox(std::move(across)),
                             ftxui::text(""),
                             ftxui::paragraph(kHelpMouse) | ftxui::dim,
                         })) |
           ftxui::size(ftxui::WIDTH, ftxui::LESS_THAN, width) |
           ftxui::clear_under | ftxui::center;
  }

  ScreenFrameOptions options_;
  const bool no_color_;
  std::vector<KeyBinding> keys_;
  bool help_open_ = false;
  bool prompt_open_ = false;
  std::string typed_;
  std::shared_ptr<const Finder> finder_;
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
