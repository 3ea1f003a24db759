#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include <ftxui/component/component.hpp>
#include <ftxui/component/component_base.hpp>
#include <ftxui/dom/node.hpp>
#include <ftxui/screen/screen.hpp>

#include "diff/file_labels.h"
#include "diff/screen.h"
#include "fixtures.h"
#include "log/panels.h"
#include "log/state.h"
#include "support.h"
#include "ui/scroller.h"
#include "ui_support.h"

namespace plimsy::diff {
namespace {

constexpr int kWidth = 100;
constexpr int kHeight = 30;
constexpr int kRightPane = 31;
constexpr int kNameRow = 3;

// The characters of cells [begin, end) of row y, trailing blanks removed.
std::string Cells(const ftxui::Screen& screen, int y, int begin, int end) {
  std::string text;
  for (int x = begin; x < end; ++x) {
    const std::string& character = screen.PixelAt(x, y).character;
    text += character.empty() ? " " : character;
  }
  return text.substr(0, text.find_last_not_of(' ') + 1);
}

// Each kind of change is listed with its mark and its name, named in the
// pane's name row, and described in the pane when git shows no lines.
TEST(DiffScreenKindsTest, EveryFileIsMarkedNamedAndDescribed) {
  testing::TempRepo repo;
  const testing::ChangeFixture commits = testing::CommitEveryKindOfChange(repo);
  testing::ScopedCwd cwd(repo.path());
  State state;
  state.arguments = {commits.before, commits.after};
  Refresh(state);
  ftxui::Component root = BuildScreen(state, [] {});

  const struct {
    std::string entry;
    std::string name_row;
    // The first row of the pane, or a text within it for a file with hunks.
    std::string pane;
  } files[] = {
      {"A added.txt", "added.txt", "added"},
      {"C copy.txt", "source.txt -> copy.txt", "copied, 100% similar"},
      {"A " + testing::kUnicodeName, testing::kUnicodeName, "nihon"},
      {"D gone.txt", "gone.txt", "bye"},
      {"B image.bin", "image.bin", "binary file"},
      {"M keep.txt", "keep.txt", "KEEP 2"},
      {"R new name.txt", "old name.txt -> new name.txt",
       "renamed, 100% similar"},
      {"T run.sh", "run.sh", "mode 100644 \u2192 100755"},
      {"M source.txt", "source.txt", "source line 21"},
      {"M " + testing::kOddName, testing::kOddName, "odder"},
  };
  ASSERT_EQ(state.diff.files.size(), std::size(files));
  auto screen = ftxui::Screen::Create(ftxui::Dimension::Fixed(kWidth),
                                      ftxui::Dimension::Fixed(kHeight));
  for (size_t i = 0; i < std::size(files); ++i) {
    SCOPED_TRACE(files[i].entry);
    EXPECT_EQ(state.diff.names[i], files[i].entry);
    EXPECT_EQ(NameRow(state.diff.files[i]), files[i].name_row);
    state.selected_file = static_cast<int>(i);
    screen.Clear();
    ftxui::Render(screen, root->Render());
    const std::string pane = Cells(screen, kNameRow + 2, kRightPane, kWidth);
    if (state.diff.files[i].hunks.empty()) {
      EXPECT_EQ(pane, files[i].pane);
    } else {
      std::string rows;
      for (int y = kNameRow + 2; y < kHeight; ++y) {
        rows += Cells(screen, y, kRightPane, kWidth) + "\n";
      }
      EXPECT_NE(rows.find(files[i].pane), std::string::npos) << rows;
    }
    if (files[i].name_row.find_first_of("\t\xE6") == std::string::npos) {
      EXPECT_EQ(Cells(screen, kNameRow, kRightPane, kWidth),
                " " + files[i].name_row);
    }
  }
}

// What the pane says for files without hunks that the fixture does not
// have: combinations of kinds, and headers without a similarity or modes.
TEST(DiffScreenKindsTest, FilesWithoutHunksSayWhatTheyAre) {
  const struct {
    std::string diff;
    std::string entry;
    std::vector<std::string> rows;
  } cases[] = {
      {"diff --git a/i b/i\nnew file mode 100644\n"
       "Binary files /dev/null and b/i differ\n",
       "A i",
       {"new file, mode 100644", "binary file"}},
      {"diff --git a/e b/e\ndeleted file mode 100755\n",
       "D e",
       {"deleted file, mode 100755"}},
      {"diff --git a/o b/n\nrename from o\nrename to n\nold mode 100644\n"
       "new mode 100755\n",
       "R n",
       {"renamed", "mode 100644 \u2192 100755"}},
      {"diff --git a/l b/l\nold mode 100644\nnew mode 120000\n",
       "T l",
       {"mode 100644 \u2192 120000"}},
      {"diff --cc u\n", "U u", {"unmerged"}},
      {"diff --git a/w b/w\nindex 1111111..2222222 100644\n",
       "M w",
       {"no lines to show"}},
  };
  for (const auto& c : cases) {
    const std::vector<File> files = ParseDiff(c.diff);
    ASSERT_EQ(files.size(), 1u) << c.diff;
    EXPECT_EQ(FileEntry(files[0]), c.entry) << c.diff;
    EXPECT_EQ(NoHunkRows(files[0]), c.rows) << c.diff;
  }
}

// A rename or a copy whose lines are shown says how similar the two files
// are in its name row, on both screens; without lines, the pane says it.
TEST(DiffScreenKindsTest, RenamesAndCopiesSayHowSimilar) {
  const std::string kEdit = "--- a/old.c\n+++ b/new.c\n@@ -1 +1 @@\n-a\n+b\n";
  const struct {
    std::string name;
    std::string diff;
    std::string name_row;
    // The content pane's first row below its title on the log screen.
    std::string log_row;
  } cases[] = {
      {"rename without edits",
       "diff --git a/old.c b/new.c\nsimilarity index 100%\n"
       "rename from old.c\nrename to new.c\n",
       " old.c -> new.c", "renamed, 100% similar"},
      {"rename with edits",
       "diff --git a/old.c b/new.c\nsimilarity index 87%\n"
       "rename from old.c\nrename to new.c\n" +
           kEdit,
       " old.c -> new.c  renamed, 87% similar",
       " old.c -> new.c  renamed, 87% similar"},
      {"copy with edits",
       "diff --git a/old.c b/new.c\nsimilarity index 75%\n"
       "copy from old.c\ncopy to new.c\n" +
           kEdit,
       " old.c -> new.c  copied, 75% similar",
       " old.c -> new.c  copied, 75% similar"},
  };
  auto screen = ftxui::Screen::Create(ftxui::Dimension::Fixed(kWidth),
                                      ftxui::Dimension::Fixed(kHeight));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    State state;
    state.from_input = true;
    state.diff.files = ParseDiff(c.diff);
    ASSERT_EQ(state.diff.files.size(), 1u);
    state.diff.names = {FileEntry(state.diff.files[0])};
    state.diff.split_rows = testing::SplitRowCountsOf(state.diff.files);
    state.diff.render_caches.resize(1);
    ftxui::Component root = BuildScreen(state, [] {});
    screen.Clear();
    ftxui::Render(screen, root->Render());
    EXPECT_EQ(Cells(screen, kNameRow, kRightPane, kWidth), c.name_row);

    log::State log_state;
    log_state.diff.files = state.diff.files;
    log_state.diff.split_rows = state.diff.split_rows;
    log_state.diff.render_caches.resize(1);
    log_state.selected_file = 1;
    ftxui::Component content = MakeScroller(
        ftxui::Renderer(log::ContentRenderer(log_state)), &log_state.diff.view);
    screen.Clear();
    ftxui::Render(screen, log::ContentPaneRenderer(content, log_state)());
    EXPECT_EQ(Cells(screen, 2, 0, kWidth), c.log_row);
  }
}

// git exits with 1 for two files that differ; the screen shows them with
// both names.
TEST(DiffScreenKindsTest, TwoFilesOutsideARepositoryShowBothNames) {
  testing::TempDir dir;
  std::ofstream(dir.path() + "/one.txt") << "a\nb\n";
  std::ofstream(dir.path() + "/two.txt") << "a\nc\n";
  testing::ScopedCwd cwd(dir.path());
  State state;
  state.arguments = {"--no-index", "one.txt", "two.txt"};
  Refresh(state);
  EXPECT_EQ(state.git_status, 0);
  ASSERT_EQ(state.diff.names, std::vector<std::string>{"M two.txt"});
  EXPECT_EQ(NameRow(state.diff.files[0]), "one.txt -> two.txt");
}

}  // namespace
}  // namespace plimsy::diff
