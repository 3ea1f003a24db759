#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include <ftxui/component/component_base.hpp>
#include <ftxui/component/event.hpp>
#include <ftxui/dom/node.hpp>
#include <ftxui/screen/screen.hpp>

#include "log/screen.h"
#include "support.h"

namespace plimsy::log {
namespace {

using ftxui::Event;
using testing::ScopedCwd;
using testing::TempRepo;

std::vector<Event> Type(const std::string& text) {
  std::vector<Event> events;
  for (char c : text) {
    events.push_back(Event::Character(c));
  }
  return events;
}

// 200 commits "walk 1" … "walk 200", newest first in the list, so that
// the old ones lie past the part read when the screen opens. Only the
// root's message says "needle", below its title.
class LogReadOnTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    repo_ = new TempRepo;
    std::string stream;
    for (int i = 1; i <= 200; ++i) {
      const std::string n = std::to_string(i);
      const std::string message =
          "walk " + n + "\n" + (i == 1 ? "\nthe needle\n" : "");
      stream += "commit refs/heads/main\nmark :" + n +
                "\ncommitter T <t@example.com> 1700000000 +0000\ndata " +
                std::to_string(message.size()) + "\n" + message +
                (i > 1 ? "from :" + std::to_string(i - 1) + "\n" : "") +
                "M 100644 inline f.txt\ndata " + std::to_string(n.size() + 1) +
                "\n" + n + "\n\n";
    }
    repo_->Git({"fast-import", "--quiet"}, stream);
    repo_->Git({"reset", "-q", "--hard", "main"});
  }
  static void TearDownTestSuite() { delete repo_; }

  void Open() {
    state_ = State();
    ASSERT_FALSE(Start(state_, {}));
    root_ = BuildScreen(state_, [this] { ++exits_; });
  }

  // The screen's text, a row a line.
  std::string Draw() {
    screen_.Clear();
    ftxui::Render(screen_, root_->Render());
    std::string text;
    for (int y = 0; y < screen_.dimy(); ++y) {
      text += Row(y) + "\n";
    }
    return text;
  }

  std::string Row(int y) const {
    std::string row;
    for (int x = 0; x < screen_.dimx(); ++x) {
      const std::string& character = screen_.PixelAt(x, y).character;
      row += character.empty() ? " " : character;
    }
    return row;
  }

  std::string Last() {
    Draw();
    return Row(screen_.dimy() - 1);
  }

  static TempRepo* repo_;
  ScopedCwd cwd_{repo_->path()};
  State state_;
  ftxui::Screen screen_ = ftxui::Screen::Create(ftxui::Dimension::Fixed(120),
                                                ftxui::Dimension::Fixed(30));
  ftxui::Component root_;
  int exits_ = 0;
};

TempRepo* LogReadOnTest::repo_ = nullptr;

TEST_F(LogReadOnTest, SearchAndEndReadOnThroughTheWalk) {
  struct Case {
    std::string name;
    std::vector<Event> events;
    int commit;
    std::string last;
  };
  const std::vector<Case> cases = {
      {"a title past the part read", Type("/walk 42\n"), 158, "? help"},
      {"a message past the part read", Type("/m:needle\n"), 199, "? help"},
      {"the entries only, without m:", Type("/needle\n"), 0,
       "Not found: needle"},
      {"not found once all is read", Type("/nowhere\n"), 0,
       "Not found: nowhere"},
      {"round to the selection", Type("/walk 200\n"), 0,
       "Search went past the end, on from the top"},
      {"back, round from the end", Type("/walk 1\ngN"), 199,
       "Search went past the top, on from the end"},
      {"G reads to the root", Type("G"), 199, "? help"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Open();
    Draw();
    ASSERT_FALSE(state_.walk_ended);
    for (const Event& event : c.events) {
      root_->OnEvent(event);
      Draw();
    }
    EXPECT_EQ(state_.selected_commit, c.commit);
    EXPECT_TRUE(Last().starts_with(c.last)) << Last();
    EXPECT_EQ(exits_, 0);
  }
}

TEST_F(LogReadOnTest, TheListTitleCountsTheWholeHistoryAfterG) {
  Open();
  root_->OnEvent(Event::Character('G'));
  const std::string screen = Draw();
  EXPECT_NE(screen.find("Commit 200 of 200"), std::string::npos) << screen;
  EXPECT_NE(screen.find("title:walk 1"), std::string::npos) << screen;
  // Escape, with nothing being read on, still quits.
  root_->OnEvent(Event::Escape);
  EXPECT_EQ(exits_, 1);
}

}  // namespace
}  // namespace plimsy::log
