#include "ui/screen_frame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <ftxui/component/component_base.hpp>
#include <ftxui/component/event.hpp>
#include <ftxui/dom/node.hpp>
#include <ftxui/screen/screen.hpp>

#include "ui/list.h"
#include "ui/search.h"

namespace plimsy {
namespace {

using ftxui::Event;

constexpr int kWidth = 60;
constexpr int kHeight = 20;

std::vector<Event> Type(const std::string& text) {
  std::vector<Event> events;
  for (char c : text) {
    events.push_back(Event::Character(c));
  }
  return events;
}

// The events that search for `term`, then `then`.
std::vector<Event> Search(const std::string& term,
                          const std::string& then = "") {
  std::vector<Event> events = Type("/" + term);
  events.push_back(Event::Return);
  for (const Event& event : Type(then)) {
    events.push_back(event);
  }
  return events;
}

// A screen of the frame around one list and nothing else: no controls in
// its header, no keys of its own.
class ListFrameTest : public ::testing::Test {
 protected:
  ListFrameTest() {
    for (int i = 0; i < 40; ++i) {
      entries_.push_back("entry " + std::to_string(i));
    }
    Open();
  }

  // A new screen, with the first entry selected.
  void Open() {
    selected_ = 0;
    exits_ = 0;
    ftxui::Component list = List(&entries_, &selected_);
    ScreenFrameOptions options;
    options.name = "test";
    options.exit = [this] { ++exits_; };
    options.panes = {
        {list,
         ListSearch(
             selected_, [this] { return static_cast<int>(entries_.size()); },
             [this](int i) { return entries_[i]; }, [] {})},
    };
    root_ = ScreenFrame(list, std::move(options));
    list->TakeFocus();
    Draw();
  }

  void Draw() {
    screen_.Clear();
    ftxui::Render(screen_, root_->Render());
  }

  // Sends the events, drawing after each as the loop does.
  void Send(const std::vector<Event>& events) {
    for (const Event& event : events) {
      root_->OnEvent(event);
      Draw();
    }
  }

  std::string Row(int y) const {
    std::string row;
    for (int x = 0; x < kWidth; ++x) {
      const std::string& character = screen_.PixelAt(x, y).character;
      row += character.empty() ? " " : character;
    }
    return row.substr(0, row.find_last_not_of(' ') + 1);
  }

  // The row showing `text`, or -1.
  int RowOf(const std::string& text) const {
    for (int y = 0; y < kHeight; ++y) {
      if (Row(y).find(text) != std::string::npos) {
        return y;
      }
    }
    return -1;
  }

  std::vector<std::string> entries_;
  int selected_ = 0;
  int exits_ = 0;
  ftxui::Screen screen_ =
      ftxui::Screen::Create(ftxui::Dimension::Fixed(kWidth),
                            ftxui::Dimension::Fixed(kHeight));
  ftxui::Component root_;
};

TEST_F(ListFrameTest, TheFrameHandlesItsKeysAndTheListsWithoutControls) {
  struct Case {
    std::string name;
    std::vector<Event> events;
    int selected;
    // The bottom row.
    std::string last;
  };
  const std::string hint = "? help  Tab pane  / search  q quit";
  const std::vector<Case> cases = {
      {"nothing", {}, 0, hint},
      {"j", {Event::Character('j')}, 1, hint},
      {"G then k", Type("Gk"), 38, hint},
      {"Tab and Right keep the only pane",
       {Event::Tab, Event::ArrowRight, Event::Character('j')},
       1,
       hint},
      {"a search", Search("entry 12"), 12, hint},
      {"a search on", Search("entry 3", "n"), 30, hint},
      {"a search round the end", Search("entry 39", "n"), 39,
       "Search went past the end, on from the top"},
      {"a search that finds nothing", Search("nowhere"), 0,
       "Not found: nowhere"},
      {"n before any search", Type("n"), 0, "No search yet: / searches"},
      {"the keys of a diff's controls do nothing", Type("sW-+"), 0, hint},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Open();
    Send(c.events);
    EXPECT_EQ(selected_, c.selected);
    EXPECT_EQ(Row(kHeight - 1), c.last);
    EXPECT_EQ(exits_, 0);
  }
}

TEST_F(ListFrameTest, HeaderAndHelpShowNoDiffControls) {
  const std::string header = Row(0);
  EXPECT_NE(header.find("[plimsy test]"), std::string::npos) << header;
  EXPECT_NE(header.find("[Q]uit"), std::string::npos) << header;
  for (const char* control : {"[S]", "[W]", "C:", "Context", "[-1]"}) {
    EXPECT_EQ(header.find(control), std::string::npos) << control;
  }

  Send({Event::Character('?')});
  ASSERT_NE(RowOf("Keys of plimsy test"), -1);
  // The list's keys, which it lists itself.
  EXPECT_NE(RowOf("next / previous row"), -1);
  EXPECT_NE(RowOf("first / last row"), -1);
  for (const char* description :
       {"split or joined layout", "ignore whitespace", "context line"}) {
    EXPECT_EQ(RowOf(description), -1) << description;
  }
  // The key that closes it does nothing else; then it quits.
  Send({Event::Character('q')});
  EXPECT_EQ(RowOf("Keys of plimsy test"), -1);
  EXPECT_EQ(exits_, 0);
  Send({Event::Character('q')});
  EXPECT_EQ(exits_, 1);
}

}  // namespace
}  // namespace plimsy
