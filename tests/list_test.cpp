#include "ui/list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <ftxui/component/component.hpp>
#include <ftxui/component/component_options.hpp>
#include <ftxui/component/event.hpp>
#include <ftxui/component/mouse.hpp>
#include <ftxui/dom/elements.hpp>
#include <ftxui/dom/node.hpp>
#include <ftxui/screen/screen.hpp>

#include "terminal_safety.h"
#include "ui/display_text.h"
#include "ui_support.h"

namespace plimsy {
namespace {

using ftxui::Component;
using ftxui::Event;
using ftxui::Mouse;
using ftxui::Screen;

constexpr int kWidth = 20;
constexpr int kRows = 10;

std::vector<std::string> Entries(int count) {
  std::vector<std::string> entries;
  entries.reserve(count);
  for (int i = 0; i < count; ++i) {
    entries.push_back("entry " + std::to_string(i));
  }
  return entries;
}

Screen Draw(const Component& component, int width = kWidth, int rows = kRows) {
  Screen screen = Screen::Create(ftxui::Dimension::Fixed(width),
                                 ftxui::Dimension::Fixed(rows));
  ftxui::Render(screen, component->Render());
  return screen;
}

std::string Row(const Screen& screen, int y, int width = kWidth) {
  std::string row;
  for (int x = 0; x < width; ++x) {
    const std::string& character = screen.PixelAt(x, y).character;
    row += character.empty() ? " " : character;
  }
  return row;
}

// The rows of the list's text, without the indicator column and trailing
// blanks.
std::vector<std::string> TextRows(const Screen& screen) {
  std::vector<std::string> rows;
  for (int y = 0; y < screen.dimy(); ++y) {
    std::string row = Row(screen, y, screen.dimx() - 1);
    rows.push_back(row.substr(0, row.find_last_not_of(' ') + 1));
  }
  return rows;
}

// The screen row that shows entry `index` as the selected one, or -1.
int SelectedRow(const Screen& screen, int index) {
  const std::vector<std::string> rows = TextRows(screen);
  for (int y = 0; y < static_cast<int>(rows.size()); ++y) {
    if (rows[y] == "> entry " + std::to_string(index)) {
      return y;
    }
  }
  return -1;
}

class ListTest : public ::testing::Test {
 protected:
  void Make(int count, ListOption option = {}) {
    entries_ = Entries(count);
    option.on_change = [this] { ++changes_; };
    list_ = List(&entries_, &selected_, option);
  }

  // A frame of the list alone, which gives it the focus.
  Screen Frame() { return Draw(list_); }

  std::vector<std::string> entries_;
  int selected_ = 0;
  int changes_ = 0;
  Component list_;
};

TEST_F(ListTest, KeysMoveTheSelectionAndKeepItInView) {
  struct Case {
    const char* name;
    int from;
    Event event;
    int to;
  };
  const Event kHomes[] = {Event::Home, Event::Special("\x1B[1~"),
                          Event::Special("\x1B[7~"), Event::Special("\x1BOH"),
                          Event::Character('g')};
  const Event kEnds[] = {Event::End, Event::Special("\x1B[4~"),
                         Event::Special("\x1B[8~"), Event::Special("\x1BOF"),
                         Event::Character('G')};
  std::vector<Case> cases = {
      {"Down", 0, Event::ArrowDown, 1},
      {"j", 0, Event::Character('j'), 1},
      {"Up", 5, Event::ArrowUp, 4},
      {"k", 5, Event::Character('k'), 4},
      {"Up at the top", 0, Event::ArrowUp, 0},
      {"k at the top", 0, Event::Character('k'), 0},
      {"Down at the end", 99, Event::ArrowDown, 99},
      {"j at the end", 99, Event::Character('j'), 99},
      // A page is the rows in view but one.
      {"Page Down", 0, Event::PageDown, kRows - 1},
      {"Page Down near the end", 95, Event::PageDown, 99},
      {"Page Up", 50, Event::PageUp, 50 - (kRows - 1)},
      {"Page Up near the top", 5, Event::PageUp, 0},
  };
  for (const Event& home : kHomes) {
    cases.push_back({"Home", 50, home, 0});
  }
  for (const Event& end : kEnds) {
    cases.push_back({"End", 50, end, 99});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + c.event.DebugString());
    Make(100);
    selected_ = c.from;
    Frame();
    changes_ = 0;
    EXPECT_TRUE(list_->OnEvent(c.event));
    EXPECT_EQ(selected_, c.to);
    EXPECT_EQ(changes_, c.from == c.to ? 0 : 1);
    EXPECT_NE(SelectedRow(Frame(), c.to), -1);
  }
}

TEST_F(ListTest, KeysOfOtherComponentsAreLeftToThem) {
  Make(100);
  selected_ = 5;
  Frame();
  for (const Event& event :
       {Event::Tab, Event::TabReverse, Event::ArrowLeft, Event::ArrowRight,
        Event::Character('h'), Event::Character('l'), Event::Return,
        Event::Character('x'), Event::Escape}) {
    SCOPED_TRACE(event.DebugString());
    EXPECT_FALSE(list_->OnEvent(event));
    EXPECT_EQ(selected_, 5);
  }
  EXPECT_EQ(changes_, 0);
}

TEST_F(ListTest, FocusLeavesByTabButNotByUpAtTheTop) {
  Make(100);
  Component other = ftxui::Button("other", [] {});
  Component column = ftxui::Container::Vertical({other, list_});
  list_->TakeFocus();
  Draw(column);

  EXPECT_TRUE(column->OnEvent(Event::ArrowUp));
  EXPECT_TRUE(list_->Focused());
  EXPECT_TRUE(column->OnEvent(Event::PageUp));
  EXPECT_TRUE(column->OnEvent(Event::Home));
  EXPECT_TRUE(list_->Focused());

  EXPECT_TRUE(column->OnEvent(Event::End));
  EXPECT_TRUE(column->OnEvent(Event::ArrowDown));
  EXPECT_TRUE(list_->Focused());

  // The container takes Tab, as it takes it from any component that does
  // not.
  EXPECT_TRUE(column->OnEvent(Event::Tab));
  EXPECT_TRUE(other->Focused());
  EXPECT_EQ(selected_, 99);
}

// The library's menu in a scrolling frame is the reference where it can
// still lay its entries out: a short list, and both ends of a longer one.
TEST(ListLookTest, DrawnLikeTheLibrarysMenu) {
  for (const int count : {4, 50}) {
    for (const bool end : {false, true}) {
      for (const bool focused : {false, true}) {
        // Dimmed as the vertical menu, or not as the default one.
        for (const bool dim : {false, true}) {
          for (const bool indicator : {false, true}) {
            SCOPED_TRACE(::testing::Message()
                         << count << " entries, end " << end << ", focused "
                         << focused << ", dim " << dim << ", indicator "
                         << indicator);
            std::vector<std::string> entries = Entries(count);
            entries[1] = "bad \x1B[31m\xFF";
            std::vector<std::string> shown;
            for (const std::string& entry : entries) {
              shown.push_back(DisplayText(entry));
            }
            int menu_selected = 0;
            Component menu = ftxui::Menu(
                &shown, &menu_selected,
                dim ? ftxui::MenuOption::Vertical() : ftxui::MenuOption());
            int list_selected = 0;
            ListOption option;
            option.dim = dim;
            option.scroll_indicator = indicator;
            Component list = List(&entries, &list_selected, option);
            if (end) {
              menu->OnEvent(Event::End);
              list->OnEvent(Event::End);
            }

            auto place = [focused, indicator](Component component, bool frame) {
              Component other = ftxui::Button("x", [] {});
              Component row = ftxui::Container::Horizontal({component, other});
              (focused ? component : other)->TakeFocus();
              return ftxui::Renderer(row, [=] {
                ftxui::Element element = component->Render();
                if (frame && indicator) {
                  element = element | ftxui::vscroll_indicator;
                }
                return frame ? element | ftxui::yframe : element;
              });
            };
            const Screen expected = Draw(place(menu, true));
            const Screen actual = Draw(place(list, false));
            for (int y = 0; y < kRows; ++y) {
              for (int x = 0; x < kWidth; ++x) {
                SCOPED_TRACE(::testing::Message() << "cell " << x << "," << y);
                const ftxui::Pixel& want = expected.PixelAt(x, y);
                const ftxui::Pixel& got = actual.PixelAt(x, y);
                ASSERT_EQ(got.character, want.character);
                ASSERT_EQ(got.bold, want.bold);
                ASSERT_EQ(got.dim, want.dim);
                ASSERT_EQ(got.inverted, want.inverted);
                ASSERT_EQ(got.foreground_color, want.foreground_color);
                ASSERT_EQ(got.background_color, want.background_color);
              }
            }
            EXPECT_EQ(testing::TerminalHazard(actual.ToString()), "");
          }
        }
      }
    }
  }
}

TEST_F(ListTest, WheelScrollsTheViewAndTheSelectionFollowsOnlyIntoView) {
  Make(1000);
  Frame();
  auto wheel = [this](Mouse::Button button, int y = 4) {
    return list_->OnEvent(testing::MouseAt(button, 3, y));
  };

  // One notch: three rows; the selected entry left the view, so the
  // selection moves to the first entry in view.
  EXPECT_TRUE(wheel(Mouse::WheelDown));
  Screen screen = Frame();
  EXPECT_EQ(TextRows(screen)[0], "> entry 3");
  EXPECT_EQ(selected_, 3);
  EXPECT_EQ(changes_, 1);

  for (int notch = 0; notch < 5; ++notch) {
    wheel(Mouse::WheelDown);
  }
  screen = Frame();
  EXPECT_EQ(TextRows(screen)[0], "> entry 18");
  EXPECT_EQ(changes_, 6);

  // Back up: the selection is still in view and stays where it is.
  wheel(Mouse::WheelUp);
  wheel(Mouse::WheelUp);
  screen = Frame();
  EXPECT_EQ(TextRows(screen)[0], "  entry 12");
  EXPECT_EQ(SelectedRow(screen, 18), 6);
  EXPECT_EQ(changes_, 6);

  // The view stops at the end of the list; the wheel is still taken.
  for (int notch = 0; notch < 400; ++notch) {
    EXPECT_TRUE(wheel(Mouse::WheelDown));
  }
  screen = Frame();
  EXPECT_EQ(TextRows(screen)[0], "> entry 990");
  EXPECT_EQ(TextRows(screen)[kRows - 1], "  entry 999");

  // Outside the list the wheel is not the list's.
  EXPECT_FALSE(wheel(Mouse::WheelUp, kRows));
  EXPECT_EQ(TextRows(Frame())[0], "> entry 990");
}

TEST_F(ListTest, ClickSelectsAndTakesTheFocus) {
  Make(30);
  Component other = ftxui::Button("other", [] {});
  Component row = ftxui::Container::Horizontal({other, list_});
  Draw(row, 2 * kWidth);
  ASSERT_TRUE(other->Focused());
  // The button is narrow; the list takes the rest of the row.
  const int x = 2 * kWidth - 5;

  EXPECT_TRUE(row->OnEvent(testing::MouseAt(Mouse::Left, x, 4)));
  EXPECT_TRUE(list_->Focused());
  EXPECT_EQ(selected_, 4);
  EXPECT_EQ(changes_, 1);

  // Again on the selected entry: no change.
  EXPECT_TRUE(row->OnEvent(testing::MouseAt(Mouse::Left, x, 4)));
  EXPECT_EQ(changes_, 1);

  // Clicks after scrolling pick the entry drawn under the pointer.
  row->OnEvent(Event::End);
  Draw(row, 2 * kWidth);
  EXPECT_TRUE(row->OnEvent(testing::MouseAt(Mouse::Left, x, 0)));
  EXPECT_EQ(selected_, 30 - kRows);

  // Other buttons, releases and motion do nothing.
  for (Mouse::Button button : {Mouse::Right, Mouse::Middle}) {
    EXPECT_FALSE(row->OnEvent(testing::MouseAt(button, x, 5)));
  }
  ftxui::Event release = testing::MouseAt(Mouse::Left, x, 5);
  release.mouse().motion = Mouse::Released;
  EXPECT_FALSE(row->OnEvent(release));
  EXPECT_EQ(selected_, 30 - kRows);
}

TEST_F(ListTest, ClickBelowTheLastEntryOnlyFocuses) {
  Make(3);
  Component other = ftxui::Button("other", [] {});
  Component row = ftxui::Container::Horizontal({other, list_});
  Draw(row, 2 * kWidth);
  EXPECT_TRUE(row->OnEvent(testing::MouseAt(Mouse::Left, 2 * kWidth - 5, 7)));
  EXPECT_TRUE(list_->Focused());
  EXPECT_EQ(selected_, 0);
  EXPECT_EQ(changes_, 0);
}

TEST_F(ListTest, SelectionClampedWhenTheListShrinks) {
  Make(50);
  selected_ = 40;
  EXPECT_NE(SelectedRow(Frame(), 40), -1);

  entries_.resize(10);
  Screen screen = Frame();
  EXPECT_EQ(selected_, 9);
  EXPECT_EQ(SelectedRow(screen, 9), kRows - 1);
  EXPECT_EQ(TextRows(screen)[0], "  entry 0");
  EXPECT_EQ(changes_, 0);

  // Entries appended later show at the next frame.
  entries_.push_back("entry 10");
  EXPECT_TRUE(list_->OnEvent(Event::End));
  EXPECT_EQ(selected_, 10);
  EXPECT_EQ(SelectedRow(Frame(), 10), kRows - 1);

  entries_.clear();
  screen = Frame();
  EXPECT_EQ(selected_, 0);
  EXPECT_EQ(TextRows(screen)[0], "");
  for (const Event& event : {Event::ArrowDown, Event::ArrowUp, Event::End,
                             Event::Home, Event::PageDown}) {
    EXPECT_TRUE(list_->OnEvent(event));
    EXPECT_EQ(selected_, 0);
  }
  EXPECT_TRUE(list_->OnEvent(testing::MouseAt(Mouse::WheelDown, 2, 2)));
  EXPECT_EQ(selected_, 0);
  EXPECT_EQ(changes_, 1);
}

TEST_F(ListTest, CustomEntriesDrawnForTheRowsInViewOnly) {
  std::vector<int> drawn;
  ListOption option;
  option.entry = [&drawn](const ListEntryState& state) {
    drawn.push_back(state.index);
    return ftxui::text(std::to_string(state.index) +
                       (state.selected ? " selected" : "") +
                       (state.focused ? " focus" : ""));
  };
  option.scroll_indicator = false;
  Make(1000, option);
  selected_ = 500;

  // Focused: alone on the screen.
  Screen screen = Frame();
  EXPECT_EQ(drawn.size(), static_cast<size_t>(kRows));
  EXPECT_EQ(TextRows(screen)[kRows - 1], "500 selected focus");
  EXPECT_EQ(TextRows(screen)[kRows - 2], "499");

  // Without the focus the selected entry is not focused.
  Component other = ftxui::Button("other", [] {});
  Component row = ftxui::Container::Horizontal({list_, other});
  other->TakeFocus();
  drawn.clear();
  screen = Draw(ftxui::Renderer(row, [this] { return list_->Render(); }));
  EXPECT_EQ(drawn.size(), static_cast<size_t>(kRows));
  EXPECT_EQ(TextRows(screen)[kRows - 1], "500 selected");
}

// The list keeps the selection in view however long it is: the library's
// own layout overflowed on a menu of some 46 000 entries.
TEST(LongListTest, SelectionInViewAfterEndAndAfterFortyDowns) {
  for (const int count : {50'000, 1'000'000}) {
    SCOPED_TRACE(count);
    std::vector<std::string> entries = Entries(count);
    int labels = 0;
    int selected = 0;
    ListOption option;
    option.size = [&entries] { return static_cast<int>(entries.size()); };
    option.label = [&entries, &labels](int index) {
      ++labels;
      return entries[index];
    };
    option.selected = &selected;
    Component list = List(option);
    // Placed as the screens place it: under a title, beside another pane.
    Component pane = ftxui::Renderer(list, [list] {
      return ftxui::hbox({
          ftxui::vbox(
              {ftxui::text("Files"), ftxui::separator(), list->Render()}) |
              ftxui::size(ftxui::WIDTH, ftxui::EQUAL, 30),
          ftxui::separator(),
          ftxui::text("content") | ftxui::flex,
      });
    });
    Draw(pane, 60, 20);

    for (int i = 0; i < 40; ++i) {
      list->OnEvent(Event::ArrowDown);
    }
    labels = 0;
    Screen screen = Draw(pane, 60, 20);
    EXPECT_LE(labels, 18);
    bool shown = false;
    for (int y = 2; y < 20; ++y) {
      shown = shown || Row(screen, y, 29).starts_with("> entry 40 ");
    }
    EXPECT_TRUE(shown);

    list->OnEvent(Event::End);
    screen = Draw(pane, 60, 20);
    EXPECT_TRUE(Row(screen, 19, 29)
                    .starts_with("> entry " + std::to_string(count - 1) + " "));
    // The indicator's thumb sits at the bottom.
    EXPECT_NE(screen.PixelAt(29, 19).character, " ");
    EXPECT_EQ(screen.PixelAt(29, 2).character, " ");
  }
}

}  // namespace
}  // namespace plimsy
