#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <ftxui/component/component_base.hpp>
#include <ftxui/component/event.hpp>
#include <ftxui/dom/node.hpp>
#include <ftxui/screen/color.hpp>
#include <ftxui/screen/screen.hpp>

#include "diff/file_labels.h"
#include "diff/screen.h"
#include "log/screen.h"
#include "support.h"
#include "terminal_columns.h"
#include "terminal_safety.h"

// The difference pane as the screens show it: its keys, the cells of every
// row against what a terminal prints, colour switched off, and windows down
// to a single cell.
namespace plimsy {
namespace {

using ftxui::Event;
using ftxui::Screen;
using testing::ScopedCwd;
using testing::TempRepo;

// Sets NO_COLOR for the life of the object, or removes it.
class ScopedNoColor {
 public:
  explicit ScopedNoColor(const char* value) {
    const char* saved = std::getenv("NO_COLOR");
    had_ = saved != nullptr;
    saved_ = had_ ? saved : "";
    if (value == nullptr) {
      unsetenv("NO_COLOR");
    } else {
      setenv("NO_COLOR", value, 1);
    }
  }
  ~ScopedNoColor() {
    if (had_) {
      setenv("NO_COLOR", saved_.c_str(), 1);
    } else {
      unsetenv("NO_COLOR");
    }
  }

 private:
  bool had_ = false;
  std::string saved_;
};

const std::string kLongLine =
    "const char* kMessage = \"a line far longer than any pane, which ends "
    "with the words THE END\";";

// Names with characters that the layout and the terminal count apart, and
// one of wide characters longer than the file list is wide.
const std::vector<std::string> kOddNames = {
    "bidi\u202Eexe.txt", "zero\u200Bwidth.txt",
    "joiner\u200D.txt",  "bom\uFEFF.txt",
    "jamo\u1161.txt",    "漢字漢字漢字漢字漢字漢字漢字漢字.txt",
};

class RenderScreenTest : public ::testing::Test {
 protected:
  RenderScreenTest() : cwd_(repo_.path()) {
    repo_.Git({"config", "core.quotePath", "false"});
    repo_.Write("long.txt", "first\n" + kLongLine + "\nlast\n");
    repo_.Write("tabs.txt", "name\tvalue\n");
    for (const std::string& name : kOddNames) {
      repo_.Write(name, "old\n");
    }
    repo_.Commit("first");
    repo_.Write("long.txt", "first\n" + kLongLine + " // changed\nlast\n");
    repo_.Write("tabs.txt", "name\tvalue\nkey\tother\n");
    for (const std::string& name : kOddNames) {
      repo_.Write(name, "new \u202Eevil\u202C\n");
    }
  }

  void Open(int width, int height) {
    screen_ = Screen::Create(ftxui::Dimension::Fixed(width),
                             ftxui::Dimension::Fixed(height));
    diff::Refresh(state_);
    root_ = diff::BuildScreen(state_, [] {});
  }

  std::vector<std::string> Frame() {
    screen_.Clear();
    ftxui::Render(screen_, root_->Render());
    std::vector<std::string> rows;
    for (int y = 0; y < screen_.dimy(); ++y) {
      std::string row;
      for (int x = 0; x < screen_.dimx(); ++x) {
        const std::string& character = screen_.PixelAt(x, y).character;
        row += character.empty() ? " " : character;
      }
      rows.push_back(row.substr(0, row.find_last_not_of(' ') + 1));
    }
    return rows;
  }

  bool Shows(const std::string& text) {
    for (const std::string& row : Frame()) {
      if (row.find(text) != std::string::npos) {
        return true;
      }
    }
    return false;
  }

  // Selects the file named `name` and moves the focus to the difference.
  void ShowFile(const std::string& name) {
    for (size_t i = 0; i < state_.diff.files.size(); ++i) {
      if (FileName(state_.diff.files[i]) == name) {
        state_.selected_file = static_cast<int>(i);
      }
    }
    Frame();
    root_->OnEvent(Event::ArrowRight);
    Frame();
  }

  // Every row prints as wide as the screen, with nothing unsafe in it.
  void ExpectTerminalCells() {
    Frame();
    EXPECT_EQ(testing::TerminalHazard(screen_.ToString()), "");
    for (int y = 0; y < screen_.dimy(); ++y) {
      EXPECT_EQ(testing::TerminalColumns(screen_, y), screen_.dimx())
          << "row " << y;
    }
  }

  TempRepo repo_;
  ScopedCwd cwd_;
  diff::State state_;
  ftxui::Component root_;
  Screen screen_ =
      Screen::Create(ftxui::Dimension::Fixed(1), ftxui::Dimension::Fixed(1));
};

TEST_F(RenderScreenTest, DifferencePaneScrollsAcrossAndWraps) {
  Open(100, 20);
  ShowFile("long.txt");
  EXPECT_FALSE(Shows("THE END"));
  EXPECT_TRUE(Shows("›"));
  int presses = 0;
  while (!Shows("THE END\"; // changed") && presses < 40) {
    EXPECT_TRUE(root_->OnEvent(Event::ArrowRight));
    ++presses;
  }
  EXPECT_TRUE(Shows("THE END\"; // changed")) << presses;
  EXPECT_TRUE(Shows("‹"));
  EXPECT_EQ(state_.diff.view.column, presses * 8);
  // The numbers stay where they were.
  EXPECT_TRUE(Shows("│2│-‹"));
  // More presses go no further than the end.
  EXPECT_TRUE(root_->OnEvent(Event::ArrowRight));
  EXPECT_EQ(state_.diff.view.column, presses * 8);

  EXPECT_TRUE(root_->OnEvent(Event::Character('0')));
  EXPECT_EQ(state_.diff.view.column, 0);
  EXPECT_FALSE(Shows("THE END"));

  // Wrapped, the whole line shows on the rows below its first: joined,
  // its end falls on its second row.
  EXPECT_TRUE(root_->OnEvent(Event::Character('s')));
  EXPECT_TRUE(root_->OnEvent(Event::Character('w')));
  EXPECT_TRUE(state_.diff.view.wrap);
  EXPECT_TRUE(Shows("THE END\"; // changed"));
  EXPECT_FALSE(Shows("›"));
  EXPECT_TRUE(root_->OnEvent(Event::Character('w')));
  EXPECT_FALSE(Shows("THE END"));
}

// Between two frames the files may be read again: toggling wrapping then
// must not look at the files that are gone.
TEST_F(RenderScreenTest, WrapRightAfterANewContext) {
  Open(100, 20);
  ShowFile("long.txt");
  root_->OnEvent(Event::Character('j'));
  Frame();
  EXPECT_TRUE(root_->OnEvent(Event::Character('+')));
  EXPECT_TRUE(root_->OnEvent(Event::Character('w')));
  EXPECT_TRUE(state_.diff.view.wrap);
  EXPECT_TRUE(Shows("THE END"));
}

// The file list keeps Left and Right for moving between the panes.
TEST_F(RenderScreenTest, HorizontalKeysBelongToTheDifferencePane) {
  Open(100, 20);
  Frame();
  EXPECT_TRUE(root_->OnEvent(Event::ArrowRight));
  EXPECT_EQ(state_.diff.view.column, 0);
  EXPECT_TRUE(root_->OnEvent(Event::ArrowRight));
  EXPECT_EQ(state_.diff.view.column, 0) << "nothing is cut in this file";
  EXPECT_TRUE(root_->OnEvent(Event::Character('w')));
  EXPECT_TRUE(state_.diff.view.wrap);
  // Tab leaves the pane for the file list, which takes its keys again.
  EXPECT_TRUE(root_->OnEvent(Event::Tab));
  EXPECT_TRUE(root_->OnEvent(Event::Character('j')));
  EXPECT_EQ(state_.selected_file, 1);
  EXPECT_TRUE(state_.diff.view.wrap);
}

TEST_F(RenderScreenTest, EveryRowPrintsAsWideAsTheScreen) {
  ASSERT_NE(testing::TerminalLocale(), locale_t{}) << "no C.UTF-8 locale";
  Open(100, 20);
  ExpectTerminalCells();
  for (const std::string& name : kOddNames) {
    SCOPED_TRACE(name);
    ShowFile(name);
    ExpectTerminalCells();
    root_->OnEvent(Event::Character('s'));
    ExpectTerminalCells();
    root_->OnEvent(Event::TabReverse);
  }
  EXPECT_TRUE(Shows("bidi<U+202E>exe.txt"));
  EXPECT_TRUE(Shows("+new <U+202E>evil<U+202C>"));
}

TEST_F(RenderScreenTest, TabsKeepTheirColumns) {
  Open(100, 20);
  ShowFile("tabs.txt");
  EXPECT_TRUE(Shows("│ name    value"));
  EXPECT_TRUE(Shows("│+key     other"));
}

TEST_F(RenderScreenTest, NoColorDrawsNoColourAnywhere) {
  const struct {
    const char* value;
    bool colour;
  } cases[] = {{nullptr, true}, {"", true}, {"1", false}};
  for (const auto& test : cases) {
    SCOPED_TRACE(test.value == nullptr ? "unset" : test.value);
    ScopedNoColor no_color(test.value);
    state_ = diff::State();
    Open(100, 20);
    ShowFile("long.txt");
    Frame();
    bool coloured = false;
    bool inverted = false;
    bool dim = false;
    for (int y = 0; y < screen_.dimy(); ++y) {
      for (int x = 0; x < screen_.dimx(); ++x) {
        const ftxui::Pixel& pixel = screen_.PixelAt(x, y);
        coloured = coloured ||
                   pixel.foreground_color != ftxui::Color::Default ||
                   pixel.background_color != ftxui::Color::Default;
        inverted = inverted || pixel.inverted;
        dim = dim || pixel.dim;
      }
    }
    EXPECT_EQ(coloured, test.colour);
    // The selected row and the hunk header keep their attributes.
    EXPECT_TRUE(inverted);
    EXPECT_TRUE(dim);
    // Signs tell the lines apart.
    EXPECT_TRUE(Shows("│-const char*"));
    EXPECT_TRUE(Shows("│+const char*"));
  }
}

// Small windows draw what fits, take every key and print every row exactly
// as wide as the window.
TEST_F(RenderScreenTest, SmallWindows) {
  ASSERT_NE(testing::TerminalLocale(), locale_t{}) << "no C.UTF-8 locale";
  const struct {
    int width;
    int height;
  } sizes[] = {{40, 12}, {1, 1}, {2, 3}, {12, 2}};
  for (const auto& size : sizes) {
    SCOPED_TRACE(std::to_string(size.width) + "x" +
                 std::to_string(size.height));
    state_ = diff::State();
    Open(size.width, size.height);
    ExpectTerminalCells();
    for (const Event& event :
         {Event::ArrowRight, Event::ArrowRight, Event::Character('l'),
          Event::Character('j'), Event::Character('w'), Event::Character('s'),
          Event::Character('j'), Event::Character('w'), Event::Character('0'),
          Event::TabReverse, Event::ArrowDown, Event::ArrowDown}) {
      root_->OnEvent(event);
      ExpectTerminalCells();
    }
  }
}

// In the log, the content pane scrolls a file's diff across; the commit
// details do not move, and the keys stay in the pane.
TEST_F(RenderScreenTest, LogContentPaneScrollsAcross) {
  repo_.Git({"add", "-A"});
  repo_.Git({"commit", "-q", "-m", "second \u202Eevil\u202C title"});
  log::State state;
  ASSERT_FALSE(log::Start(state, {}));
  ftxui::Component root = log::BuildScreen(state, [] {});
  screen_ =
      Screen::Create(ftxui::Dimension::Fixed(160), ftxui::Dimension::Fixed(30));
  const auto frame = [&] {
    screen_.Clear();
    ftxui::Render(screen_, root->Render());
    std::string all;
    for (int y = 0; y < screen_.dimy(); ++y) {
      for (int x = 0; x < screen_.dimx(); ++x) {
        all += screen_.PixelAt(x, y).character;
      }
      all += "\n";
    }
    return all;
  };
  EXPECT_NE(frame().find("second <U+202E>evil<U+202C> title"),
            std::string::npos);
  // To the files, then to the content pane, on the commit details.
  root->OnEvent(Event::ArrowRight);
  root->OnEvent(Event::ArrowRight);
  frame();
  EXPECT_TRUE(root->OnEvent(Event::ArrowRight));
  EXPECT_TRUE(root->OnEvent(Event::ArrowLeft));
  EXPECT_EQ(state.diff.view.column, 0);
  EXPECT_NE(frame().find("    title:"), std::string::npos);
  // To the long file's diff, then across it.
  for (size_t i = 0; i < state.diff.names.size(); ++i) {
    if (state.diff.names[i] == "M long.txt") {
      state.selected_file = static_cast<int>(i);
    }
  }
  std::string screen = frame();
  for (int i = 0;
       i < 20 && screen.find("THE END\"; // changed") == std::string::npos;
       ++i) {
    root->OnEvent(Event::ArrowRight);
    screen = frame();
  }
  EXPECT_NE(screen.find("THE END\"; // changed"), std::string::npos) << screen;
}

}  // namespace
}  // namespace plimsy
