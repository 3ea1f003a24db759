// Each key must draw exactly one frame. The library draws once per batch of
// events and once more for each animation frame that a component asks for,
// so these tests run the screens in the library's real loop and count both.

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <ftxui/component/animation.hpp>
#include <ftxui/component/component.hpp>
#include <ftxui/component/component_base.hpp>
#include <ftxui/component/component_options.hpp>
#include <ftxui/component/event.hpp>
#include <ftxui/component/loop.hpp>
#include <ftxui/component/mouse.hpp>
#include <ftxui/component/screen_interactive.hpp>
#include <ftxui/dom/node.hpp>
#include <ftxui/screen/screen.hpp>

#include "diff/screen.h"
#include "log/screen.h"
#include "support.h"
#include "ui/list.h"
#include "ui_support.h"

namespace plimsy {
namespace {

using ftxui::Component;
using ftxui::Event;
using ftxui::Mouse;

constexpr int kWidth = 100;
constexpr int kHeight = 30;

// Counts the frames drawn and the animation frames delivered to the tree
// below it.
class FrameCounter : public ftxui::ComponentBase {
 public:
  explicit FrameCounter(Component child) { Add(std::move(child)); }

  ftxui::Element OnRender() override {
    ++renders;
    return ComponentBase::OnRender();
  }

  void OnAnimation(ftxui::animation::Params& params) override {
    ++animations;
    ComponentBase::OnAnimation(params);
  }

  int renders = 0;
  int animations = 0;
};

struct Frames {
  int renders = 0;
  int animations = 0;
};

// `component` in the library's loop on a screen of fixed size. The loop
// reads its keys from a pipe that nobody writes to and draws into a string,
// so it neither touches the terminal of the tests nor reads from it.
class LiveLoop {
 public:
  explicit LiveLoop(Component component)
      : counter_(std::make_shared<FrameCounter>(std::move(component))) {
    EXPECT_EQ(pipe(keys_), 0);
    saved_stdin_ = dup(STDIN_FILENO);
    dup2(keys_[0], STDIN_FILENO);
    saved_cout_ = std::cout.rdbuf(output_.rdbuf());
    loop_ = std::make_unique<ftxui::Loop>(&screen_, counter_);
    loop_->RunOnce();
    Settle();
  }

  LiveLoop(const LiveLoop&) = delete;
  LiveLoop& operator=(const LiveLoop&) = delete;

  ~LiveLoop() {
    loop_.reset();
    std::cout.rdbuf(saved_cout_);
    dup2(saved_stdin_, STDIN_FILENO);
    close(saved_stdin_);
    close(keys_[0]);
    close(keys_[1]);
  }

  // Handles `event` as the loop handles a key, then gives the library's
  // animation tick (every 15 ms) time to deliver the animation frames that
  // the event asked for. Returns what was drawn meanwhile.
  Frames Handle(const Event& event) {
    const Frames before = Count();
    screen_.PostEvent(event);
    loop_->RunOnce();
    Settle();
    const Frames after = Count();
    return {after.renders - before.renders,
            after.animations - before.animations};
  }

  Frames Count() const { return {counter_->renders, counter_->animations}; }

 private:
  void Settle() {
    for (int tick = 0; tick < 2; ++tick) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      loop_->RunOnce();
    }
  }

  std::shared_ptr<FrameCounter> counter_;
  int keys_[2] = {-1, -1};
  int saved_stdin_ = -1;
  std::ostringstream output_;
  std::streambuf* saved_cout_ = nullptr;
  ftxui::ScreenInteractive screen_ =
      ftxui::ScreenInteractive::FixedSize(kWidth, kHeight);
  std::unique_ptr<ftxui::Loop> loop_;
};

struct Key {
  const char* name;
  Event event;
};

// Runs `keys` through `component` in the live loop and expects one frame
// and no animation frame for each, and none at start.
void ExpectOneFramePerKey(Component component, const std::vector<Key>& keys) {
  LiveLoop loop(std::move(component));
  EXPECT_EQ(loop.Count().renders, 1);
  EXPECT_EQ(loop.Count().animations, 0);
  for (const Key& key : keys) {
    SCOPED_TRACE(key.name);
    const Frames frames = loop.Handle(key.event);
    EXPECT_EQ(frames.renders, 1);
    EXPECT_EQ(frames.animations, 0);
  }
}

// The cell where `text` (ASCII) starts in a frame of `component`.
std::pair<int, int> Find(const Component& component, const std::string& text) {
  ftxui::Screen screen = ftxui::Screen::Create(
      ftxui::Dimension::Fixed(kWidth), ftxui::Dimension::Fixed(kHeight));
  ftxui::Render(screen, component->Render());
  for (int y = 0; y < kHeight; ++y) {
    std::string row;
    for (int x = 0; x < kWidth; ++x) {
      const std::string& character = screen.PixelAt(x, y).character;
      row += character.size() == 1 ? character : "?";
    }
    const size_t x = row.find(text);
    if (x != std::string::npos) {
      return {static_cast<int>(x), y};
    }
  }
  ADD_FAILURE() << "no " << text;
  return {0, 0};
}

Event Click(const Component& component, const std::string& text) {
  const auto [x, y] = Find(component, text);
  return testing::MouseAt(Mouse::Left, x, y);
}

// The pointer moved to (x, y) with no button down.
Event MouseMove(int x, int y) {
  Event event = testing::MouseAt(Mouse::None, x, y);
  event.mouse().motion = Mouse::Moved;
  return event;
}

TEST(OneFramePerKeyTest, ControlTheLibrarysMenuAnimates) {
  // Shows that the loop below sees animation frames: the library's menu
  // asks for them on every change of its selection.
  std::vector<std::string> entries = {"a", "b", "c"};
  int selected = 0;
  LiveLoop loop(
      ftxui::Menu(&entries, &selected, ftxui::MenuOption::Vertical()));
  const Frames frames = loop.Handle(Event::ArrowDown);
  EXPECT_EQ(selected, 1);
  EXPECT_GT(frames.animations, 0);
  EXPECT_GT(frames.renders, 1);
}

TEST(OneFramePerKeyTest, List) {
  std::vector<std::string> entries;
  for (int i = 0; i < 100; ++i) {
    entries.push_back("entry " + std::to_string(i));
  }
  int selected = 0;
  ExpectOneFramePerKey(List(&entries, &selected),
                       {{"j", Event::Character('j')},
                        {"Down", Event::ArrowDown},
                        {"k", Event::Character('k')},
                        {"Up at the top", Event::ArrowUp},
                        {"End", Event::End},
                        {"Page Up", Event::PageUp},
                        {"wheel", testing::MouseAt(Mouse::WheelUp, 5, 5)},
                        {"click", testing::MouseAt(Mouse::Left, 5, 3)},
                        {"x", Event::Character('x')}});
}

TEST(OneFramePerKeyTest, DiffScreen) {
  testing::TempRepo repo;
  testing::ScopedCwd cwd(repo.path());
  repo.Write("a.txt", "a\n");
  repo.Write("b.txt", "b\n");
  repo.Commit("first");
  repo.Write("a.txt", "A\n");
  repo.Write("b.txt", "B\n");
  diff::State state;
  diff::Refresh(state);
  ASSERT_EQ(state.diff.files.size(), 2u);
  Component screen = diff::BuildScreen(state, [] {});
  const auto [quit_x, quit_y] = Find(screen, "[Q]uit");
  ExpectOneFramePerKey(
      screen,
      {{"j", Event::Character('j')},
       {"j at the last file", Event::Character('j')},
       {"k", Event::Character('k')},
       {"k at the first file", Event::Character('k')},
       {"End", Event::End},
       {"s", Event::Character('s')},
       {"+", Event::Character('+')},
       {"click on a file", Click(screen, "a.txt")},
       {"wheel on the difference", testing::MouseAt(Mouse::WheelDown, 60, 8)},
       {"Right to the difference", Event::ArrowRight},
       {"j in the difference", Event::Character('j')},
       {"Tab", Event::Tab},
       {"pointer over a button", MouseMove(quit_x, quit_y)},
       {"pointer away", MouseMove(10, 10)},
       {"click on the split box", Click(screen, "[S]plit")},
       {"click on a button", Click(screen, "[-1]")}});
}

TEST(OneFramePerKeyTest, LogScreen) {
  testing::TempRepo repo;
  testing::ScopedCwd cwd(repo.path());
  for (int i = 0; i < 5; ++i) {
    repo.Write("f.txt", std::to_string(i) + "\n");
    repo.Commit("commit " + std::to_string(i));
  }
  log::State state;
  ASSERT_FALSE(log::Start(state, {}));
  Component screen = log::BuildScreen(state, [] {});
  const auto [quit_x, quit_y] = Find(screen, "[Q]uit");
  ExpectOneFramePerKey(
      screen,
      {{"j", Event::Character('j')},
       {"Down", Event::ArrowDown},
       {"k", Event::Character('k')},
       {"Home", Event::Home},
       {"Up at the top", Event::ArrowUp},
       {"Right to the files", Event::ArrowRight},
       {"j in the files", Event::Character('j')},
       {"wheel on the commits", testing::MouseAt(Mouse::WheelDown, 5, 5)},
       {"click on a commit", Click(screen, "commit 2")},
       {"-", Event::Character('-')},
       {"pointer over a button", MouseMove(quit_x, quit_y)},
       {"pointer away", MouseMove(10, 10)},
       {"click on the split box", Click(screen, "[S]plit")},
       {"click on a button", Click(screen, "[+1]")}});
}

}  // namespace
}  // namespace plimsy
