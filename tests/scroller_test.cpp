#include "ui/scroller.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <ftxui/component/component.hpp>
#include <ftxui/component/event.hpp>
#include <ftxui/component/mouse.hpp>
#include <ftxui/dom/elements.hpp>
#include <ftxui/screen/screen.hpp>

#include "ui_support.h"

namespace {

using ftxui::Component;
using ftxui::Element;
using ftxui::Event;
using ftxui::Mouse;
using ftxui::Screen;
namespace Dimension = ftxui::Dimension;
using plimsy::testing::MouseAt;

Event WheelUp() {
  return MouseAt(Mouse::WheelUp, 0, 0);
}

Event WheelDown() {
  return MouseAt(Mouse::WheelDown, 0, 0);
}

// An event, whether the scroller reports a change, and the highlighted row
// of the next frame.
struct Step {
  Event event;
  bool changed;
  std::string highlighted;
};

// A scroller over `rows` lines "row 0", "row 1", ..., drawn as the whole
// screen: 30 columns by 20 rows, so a page is 19 rows.
class ScrollerTest : public testing::Test {
 protected:
  int rows_ = 100;
  int child_events_ = 0;
  Component scroller_ = ftxui::Scroller(ftxui::CatchEvent(
      ftxui::Renderer([this] {
        ftxui::Elements lines;
        for (int i = 0; i < rows_; ++i) {
          lines.push_back(ftxui::text("row " + std::to_string(i)));
        }
        return ftxui::vbox(std::move(lines));
      }),
      [this](const Event&) {
        ++child_events_;
        return false;
      }));
  Screen screen_ = Screen::Create(Dimension::Fixed(30), Dimension::Fixed(20));

  void Draw() {
    screen_.Clear();
    ftxui::Render(screen_, scroller_->Render());
  }

  // The text of screen row `y`, without the scroll indicator's column.
  std::string Row(int y) const {
    std::string row;
    for (int x = 0; x < screen_.dimx() - 1; ++x) {
      const std::string& character = screen_.PixelAt(x, y).character;
      row += character.empty() ? " " : character;
    }
    row.erase(row.find_last_not_of(' ') + 1);
    return row;
  }

  // Draws a frame and returns the text of the highlighted row, "none" when
  // no row is highlighted.
  std::string Highlighted() {
    Draw();
    for (int y = 0; y < screen_.dimy(); ++y) {
      if (screen_.PixelAt(0, y).inverted) {
        return Row(y);
      }
    }
    return "none";
  }

  void Play(const std::vector<Step>& steps) {
    for (size_t i = 0; i < steps.size(); ++i) {
      SCOPED_TRACE("step " + std::to_string(i));
      EXPECT_EQ(scroller_->OnEvent(steps[i].event), steps[i].changed);
      EXPECT_EQ(Highlighted(), steps[i].highlighted);
    }
  }
};

TEST_F(ScrollerTest, EmptyChildStaysAtRowZero) {
  rows_ = 0;
  Draw();
  for (const Event& event :
       {Event::ArrowDown, Event::ArrowUp, Event::Character('j'),
        Event::Character('k'), Event::PageDown, Event::PageUp, Event::Home,
        Event::End, WheelDown(), WheelUp()}) {
    EXPECT_FALSE(scroller_->OnEvent(event)) << event.input();
  }
  Draw();
  EXPECT_TRUE(screen_.PixelAt(0, 0).inverted);
  EXPECT_FALSE(screen_.PixelAt(0, 1).inverted);
}

TEST_F(ScrollerTest, RowMovesAndStopsAtBothEnds) {
  rows_ = 5;
  Draw();
  Play({
      {Event::ArrowUp, false, "row 0"},
      {Event::Character('k'), false, "row 0"},
      {WheelUp(), false, "row 0"},
      {Event::ArrowDown, true, "row 1"},
      {Event::Character('j'), true, "row 2"},
      // Everything is in view: the wheel has nothing to scroll.
      {WheelDown(), false, "row 2"},
      {Event::Character('k'), true, "row 1"},
      {Event::End, true, "row 4"},
      {Event::End, false, "row 4"},
      {Event::ArrowDown, false, "row 4"},
      {Event::Character('j'), false, "row 4"},
      {Event::Character('x'), false, "row 4"},
      {Event::Home, true, "row 0"},
      {Event::Home, false, "row 0"},
      {Event::Character('G'), true, "row 4"},
      {Event::Character('g'), true, "row 0"},
  });
  EXPECT_EQ(child_events_, 0);
}

// The wheel scrolls the view by 3 rows a notch; the selected row moves only
// as far as it must to stay in view.
TEST_F(ScrollerTest, WheelScrollsTheView) {
  Draw();
  const auto top = [this] {
    Draw();
    return Row(0);
  };
  EXPECT_TRUE(scroller_->OnEvent(Event::ArrowDown));
  EXPECT_TRUE(scroller_->OnEvent(Event::ArrowDown));
  EXPECT_TRUE(scroller_->OnEvent(Event::ArrowDown));
  Draw();
  EXPECT_TRUE(scroller_->OnEvent(WheelDown()));
  EXPECT_EQ(top(), "row 3");
  EXPECT_EQ(Highlighted(), "row 3");
  EXPECT_TRUE(scroller_->OnEvent(WheelDown()));
  EXPECT_EQ(top(), "row 6");
  EXPECT_EQ(Highlighted(), "row 6");
  EXPECT_TRUE(scroller_->OnEvent(WheelUp()));
  EXPECT_EQ(top(), "row 3");
  EXPECT_EQ(Highlighted(), "row 6");
  for (int notch = 0; notch < 40; ++notch) {
    scroller_->OnEvent(WheelDown());
    Draw();
  }
  EXPECT_EQ(top(), "row 80");
  EXPECT_EQ(Highlighted(), "row 80");
  EXPECT_FALSE(scroller_->OnEvent(WheelDown()));
  EXPECT_TRUE(scroller_->OnEvent(WheelUp()));
  EXPECT_EQ(top(), "row 77");
  EXPECT_EQ(Highlighted(), "row 80");
}

TEST_F(ScrollerTest, PagesAreOneRowLessThanTheViewport) {
  Draw();
  Play({
      {Event::PageDown, true, "row 19"},
      {Event::PageDown, true, "row 38"},
      {Event::PageUp, true, "row 19"},
      {Event::End, true, "row 99"},
      {Event::PageDown, false, "row 99"},
      {Event::PageUp, true, "row 80"},
      {Event::Home, true, "row 0"},
      {Event::ArrowDown, true, "row 1"},
      {Event::ArrowDown, true, "row 2"},
      {Event::ArrowDown, true, "row 3"},
      {Event::ArrowDown, true, "row 4"},
      {Event::ArrowDown, true, "row 5"},
      {Event::PageUp, true, "row 0"},
      {Event::PageUp, false, "row 0"},
  });
}

TEST_F(ScrollerTest, HomeAndEndAsOtherTerminalsSendThem) {
  Draw();
  Play({
      {Event::Special("\x1B[4~"), true, "row 99"},
      {Event::Special("\x1B[1~"), true, "row 0"},
      {Event::Special("\x1B[8~"), true, "row 99"},
      {Event::Special("\x1B[7~"), true, "row 0"},
  });
}

TEST_F(ScrollerTest, BeforeTheFirstFrameNothingMoves) {
  // No frame yet: no page size and no content height to move within.
  for (const Event& event : {Event::PageDown, Event::PageUp, Event::ArrowDown,
                             Event::End, WheelDown()}) {
    EXPECT_FALSE(scroller_->OnEvent(event)) << event.input();
  }
  EXPECT_EQ(Highlighted(), "row 0");
  EXPECT_TRUE(scroller_->OnEvent(Event::PageDown));
  EXPECT_EQ(Highlighted(), "row 19");
}

TEST_F(ScrollerTest, ViewFollowsTheSelectedRow) {
  Draw();
  EXPECT_EQ(Row(0), "row 0");
  scroller_->OnEvent(Event::End);
  EXPECT_EQ(Highlighted(), "row 99");
  EXPECT_EQ(Row(19), "row 99");
  EXPECT_TRUE(screen_.PixelAt(0, 19).inverted);
  // The highlight is drawn over the child's own text, across the row.
  EXPECT_EQ(screen_.PixelAt(0, 19).character, "r");
  EXPECT_TRUE(screen_.PixelAt(20, 19).inverted);
  scroller_->OnEvent(Event::Home);
  EXPECT_EQ(Highlighted(), "row 0");
  EXPECT_EQ(Row(0), "row 0");
  EXPECT_EQ(Row(19), "row 19");
}

TEST_F(ScrollerTest, ShrunkContentMovesTheRowToItsEnd) {
  Draw();
  scroller_->OnEvent(Event::End);
  rows_ = 10;
  EXPECT_EQ(Highlighted(), "row 9");
  EXPECT_FALSE(scroller_->OnEvent(Event::Character('x')));
  EXPECT_TRUE(scroller_->OnEvent(Event::ArrowUp));
  EXPECT_EQ(Highlighted(), "row 8");
}

// The scroller beside another focusable component, which has the focus
// first. The scroller's box is x 10..29, y 0..19.
class ScrollerFocusTest : public ScrollerTest {
 protected:
  Component other_ = ftxui::Renderer([](bool) { return ftxui::text("other"); });
  Component container_ = ftxui::Container::Horizontal({other_, scroller_});
  Component root_ = ftxui::Renderer(container_, [this] {
    return ftxui::hbox({
        other_->Render() | ftxui::size(ftxui::WIDTH, ftxui::EQUAL, 10),
        scroller_->Render() | ftxui::flex,
    });
  });

  void DrawRoot() {
    screen_.Clear();
    ftxui::Render(screen_, root_->Render());
  }

  bool ScrollerRowInverted(int y) const {
    return screen_.PixelAt(10, y).inverted;
  }
};

TEST_F(ScrollerFocusTest, HighlightOnlyWhileFocused) {
  DrawRoot();
  ASSERT_FALSE(scroller_->Focused());
  EXPECT_FALSE(ScrollerRowInverted(0));
  scroller_->TakeFocus();
  DrawRoot();
  EXPECT_TRUE(ScrollerRowInverted(0));
  EXPECT_FALSE(ScrollerRowInverted(1));
}

TEST_F(ScrollerFocusTest, WheelScrollsOnlyUnderThePointer) {
  DrawRoot();
  EXPECT_FALSE(scroller_->OnEvent(MouseAt(Mouse::WheelDown, 2, 5)));
  EXPECT_FALSE(scroller_->OnEvent(MouseAt(Mouse::WheelDown, 9, 5)));
  DrawRoot();
  EXPECT_EQ(screen_.PixelAt(10, 0).character, "r");
  EXPECT_EQ(screen_.PixelAt(14, 0).character, "0");

  // Over the scroller it scrolls, without taking the focus.
  EXPECT_TRUE(scroller_->OnEvent(MouseAt(Mouse::WheelDown, 15, 5)));
  EXPECT_FALSE(scroller_->Focused());
  DrawRoot();
  EXPECT_EQ(screen_.PixelAt(14, 0).character, "3");
  EXPECT_FALSE(ScrollerRowInverted(0));
}

TEST_F(ScrollerFocusTest, ClickInsideTakesFocusAndSelectsTheRow) {
  DrawRoot();
  const struct {
    int x;
    int y;
    bool focused;
    bool moved;
  } clicks[] = {{9, 0, false, false},
                {10, 20, false, false},
                {10, 0, true, false},
                {29, 19, true, true}};
  for (const auto& click : clicks) {
    SCOPED_TRACE(std::to_string(click.x) + ", " + std::to_string(click.y));
    other_->TakeFocus();
    EXPECT_EQ(scroller_->OnEvent(MouseAt(Mouse::Left, click.x, click.y)),
              click.moved);
    EXPECT_EQ(scroller_->Focused(), click.focused);
    EXPECT_EQ(other_->Active(), !click.focused);
  }
  DrawRoot();
  EXPECT_TRUE(ScrollerRowInverted(19));
}

TEST_F(ScrollerFocusTest, BeforeTheFirstFrameOnlyTheOriginCellTakesFocus) {
  EXPECT_FALSE(scroller_->OnEvent(MouseAt(Mouse::Left, 1, 0)));
  EXPECT_FALSE(scroller_->Focused());
  EXPECT_FALSE(scroller_->OnEvent(MouseAt(Mouse::Left, 0, 0)));
  EXPECT_TRUE(scroller_->Focused());
}

}  // namespace

// Content far taller than the screen, in a pane below a title row as the
// screens place it: the layout must still hand the scroller the pane's
// height, however many rows the content has.
TEST(ScrollerTallContentTest, ViewFollowsTheRowInAPane) {
  for (int rows : {100, 50'000, 1'000'000}) {
    Component scroller = ftxui::Scroller(ftxui::Renderer([rows] {
      return ftxui::text("") | ftxui::size(ftxui::HEIGHT, ftxui::EQUAL, rows);
    }));
    Component pane = ftxui::Renderer(scroller, [scroller] {
      return ftxui::vbox({ftxui::text("title"), scroller->Render()}) |
             ftxui::flex;
    });
    Screen screen = Screen::Create(Dimension::Fixed(20), Dimension::Fixed(10));
    ftxui::Render(screen, pane->Render());
    EXPECT_TRUE(scroller->OnEvent(Event::PageDown)) << rows;
    ftxui::Render(screen, pane->Render());
    EXPECT_TRUE(scroller->OnEvent(Event::PageDown)) << rows;
    screen.Clear();
    ftxui::Render(screen, pane->Render());
    // The pane is 9 rows tall, so a page is 8 rows; a page moves the view
    // and the row together, so row 16 is at the top of the pane.
    EXPECT_EQ(screen.PixelAt(0, 0).character, "t") << rows;
    for (int y = 1; y < 10; ++y) {
      EXPECT_EQ(screen.PixelAt(0, y).inverted, y == 1) << rows << " " << y;
    }
  }
}
