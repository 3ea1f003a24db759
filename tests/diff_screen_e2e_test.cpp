#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "fixtures.h"
#include "support.h"

namespace plimsy::testing {
namespace {

constexpr int kWidth = 100;
constexpr int kHeight = 30;

// Lines "<word> 001" to "<word> <count>", three digits each so that no
// line's text is part of another's.
std::string Numbered(const std::string& word, int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) {
    std::string number = std::to_string(i);
    text += word + " " + std::string(3 - number.size(), '0') + number + "\n";
  }
  return text;
}

// A mouse wheel report in the SGR encoding, at a cell inside the
// difference pane.
std::string Wheel(bool down) {
  return down ? "\x1b[<65;60;15M" : "\x1b[<64;60;15M";
}

class DiffScreenEndToEndTest : public ::testing::Test {
 protected:
  DiffScreenEndToEndTest() {
    repo_.Write("big.txt", Numbered("old", 200));
    repo_.Write("small.txt", "a\nb\nc\n");
    repo_.Commit("first");
  }

  void ChangeFiles() {
    repo_.Write("big.txt", Numbered("new", 200));
    repo_.Write("small.txt", "a\nB\nc\n");
  }

  TempRepo repo_;
};

TEST_F(DiffScreenEndToEndTest, MovesThroughFilesAndScrollsTheDifference) {
  ChangeFiles();
  TmuxPane pane(repo_.path(), {PlimsyBinary(), "diff"}, kWidth, kHeight);
  // The first line lies below the rows checked: a frame is written from
  // the top down.
  std::string screen = pane.WaitFor("new 001");
  EXPECT_TRUE(Shows(screen, "[plimsy diff]"));
  EXPECT_TRUE(Shows(screen, "Context:[-1]3[+1]"));
  EXPECT_TRUE(Shows(screen, "> M big.txt"));
  EXPECT_TRUE(Shows(screen, "│ big.txt"));

  // Added lines are light green on dark green.
  std::string colours = pane.Capture(true);
  EXPECT_TRUE(Shows(colours, "38;2;200;255;200")) << colours;
  EXPECT_TRUE(Shows(colours, "48;2;0;128;0")) << colours;

  pane.SendKeys({"Down"});
  pane.WaitFor("│ small.txt");
  pane.SendKeys({"Up"});
  pane.WaitFor("│ big.txt");

  // Move the focus to the difference and scroll it.
  pane.SendKeys({"Right", "PageDown"});
  pane.WaitUntil("Page Down", [](const std::string& s) {
    return !Shows(s, "new 001") && Shows(s, "new 030");
  });
  // tmux's own Home and End keys send the sequences of its inner
  // terminal type; these are the ones an xterm sends.
  pane.SendLiteral("\x1b[F");
  pane.WaitFor("new 200");
  pane.SendLiteral("\x1b[H");
  pane.WaitFor("new 001");

  // The view follows the row no further than it must: row 30 is the last
  // in view.
  for (int i = 0; i < 30; ++i) {
    pane.SendKeys({"j"});
  }
  pane.WaitUntil("j", [](const std::string& s) {
    return !Shows(s, "new 001") && Shows(s, "new 030") && !Shows(s, "new 031");
  });
  for (int i = 0; i < 30; ++i) {
    pane.SendKeys({"k"});
  }
  pane.WaitFor("new 001");

  // Three rows a notch.
  for (int i = 0; i < 30; ++i) {
    pane.SendLiteral(Wheel(true));
  }
  pane.WaitUntil("wheel down", [](const std::string& s) {
    return !Shows(s, "new 089") && Shows(s, "new 090");
  });
  for (int i = 0; i < 30; ++i) {
    pane.SendLiteral(Wheel(false));
  }
  pane.WaitFor("new 001");

  // The joined layout lists the deleted lines before the added ones.
  pane.SendKeys({"s"});
  pane.WaitUntil("joined layout", [](const std::string& s) {
    return Shows(s, "old 001") && !Shows(s, "new 001");
  });
  pane.SendKeys({"s"});
  pane.WaitUntil("split layout", [](const std::string& s) {
    return Shows(s, "old 001") && Shows(s, "new 001");
  });

  // The file list is untouched by all of that.
  EXPECT_TRUE(Shows(pane.Capture(), "> M big.txt"));
}

TEST_F(DiffScreenEndToEndTest, QuitKeysRestoreTheTerminal) {
  ChangeFiles();
  for (const std::string key : {"q", "Escape"}) {
    TmuxPane pane(repo_.path(), {PlimsyBinary(), "diff"}, kWidth, kHeight);
    pane.WaitFor("[plimsy diff]");
    pane.SendKeys({key});
    EXPECT_EQ(pane.WaitForExit(), 0) << key;
    std::string screen = pane.Capture();
    EXPECT_FALSE(Shows(screen, "[plimsy diff]")) << key << "\n" << screen;
    EXPECT_FALSE(Shows(screen, "big.txt")) << key << "\n" << screen;
  }
}

TEST_F(DiffScreenEndToEndTest, CleanTreePrintsOnlyTheMessage) {
  TmuxPane pane(repo_.path(), {PlimsyBinary(), "diff"}, kWidth, kHeight);
  EXPECT_EQ(pane.WaitForExit(), 0);
  std::string screen = pane.Capture();
  EXPECT_TRUE(screen.starts_with("No difference...\n\n")) << screen;
  EXPECT_EQ(screen.find_first_not_of('\n', 17), std::string::npos) << screen;
}

TEST_F(DiffScreenEndToEndTest, MissingGitIsReportedWithoutOpeningTheScreen) {
  ChangeFiles();
  RunResult result =
      RunIn(repo_.path(), {PlimsyBinary(), "diff"}, "", {"PATH=/nonexistent"});
  EXPECT_EQ(result.status, 127);
  EXPECT_EQ(result.out, "");
  EXPECT_TRUE(result.err.starts_with("plimsy: cannot run git: ")) << result.err;
}

TEST_F(DiffScreenEndToEndTest, ExitCodeWithADifferenceStillOpensTheScreen) {
  ChangeFiles();
  TmuxPane pane(repo_.path(), {PlimsyBinary(), "diff", "--exit-code"}, kWidth,
                kHeight);
  pane.WaitFor("> M big.txt");
  pane.SendKeys({"q"});
  EXPECT_EQ(pane.WaitForExit(), 0);
}

// Before the screen opens, a failing git's message goes to standard error
// as git wrote it, and its status becomes plimsy's.
TEST_F(DiffScreenEndToEndTest, GitFailuresAreGitsOwnMessageAndStatus) {
  ChangeFiles();
  TempDir outside;
  const struct {
    std::string dir;
    std::vector<std::string> arguments;
  } cases[] = {
      {outside.path(), {}},
      {repo_.path(), {"HEAD~9999"}},
      {repo_.path(), {"--bogus-option"}},
      {repo_.path(), {"HEAD", "--", "/"}},
      {repo_.path(), {"--no-index", "missing-1", "missing-2"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> git = {"git", "diff"};
    std::vector<std::string> plimsy = {PlimsyBinary(), "diff"};
    git.insert(git.end(), c.arguments.begin(), c.arguments.end());
    plimsy.insert(plimsy.end(), c.arguments.begin(), c.arguments.end());
    const RunResult expected = RunIn(c.dir, git);
    const RunResult result = RunIn(c.dir, plimsy);
    const std::string name = c.arguments.empty() ? "outside" : c.arguments[0];
    EXPECT_NE(expected.status, 0) << name;
    EXPECT_FALSE(expected.err.empty()) << name;
    EXPECT_EQ(result.status, expected.status) << name;
    EXPECT_EQ(result.err, expected.err) << name;
    EXPECT_EQ(result.out, "") << name;
  }
}

TEST_F(DiffScreenEndToEndTest, UnknownRevisionShowsGitsErrorAndExits128) {
  TmuxPane pane(repo_.path(), {PlimsyBinary(), "diff", "HEAD~9999"}, kWidth,
                kHeight);
  EXPECT_EQ(pane.WaitForExit(), 128);
  const std::string screen = pane.Capture();
  EXPECT_TRUE(
      Shows(screen, "fatal: ambiguous argument 'HEAD~9999': unknown revision"))
      << screen;
  EXPECT_FALSE(Shows(screen, "No difference")) << screen;
}

TEST(DiffKindsEndToEndTest, EachFileIsMarkedAndThePaneSaysWhatItIs) {
  TempRepo repo;
  const ChangeFixture commits = CommitEveryKindOfChange(repo);
  TmuxPane pane(repo.path(),
                {PlimsyBinary(), "diff", commits.before, commits.after}, kWidth,
                kHeight);
  // The list's last entry: the rows above it are drawn once it shows.
  const std::string screen = pane.WaitFor("  M tab   here");
  for (const std::string entry :
       {"> A added.txt", "  C copy.txt", "  A docs/\u65E5\u672C\u8A9E.txt",
        "  D gone.txt", "  B image.bin", "  M keep.txt", "  R new name.txt",
        "  T run.sh", "  M source.txt", "  M tab   here \"q\" back\\slash"}) {
    EXPECT_TRUE(Shows(screen, entry)) << entry << "\n" << screen;
  }

  pane.SendKeys(std::vector<std::string>(4, "Down"));
  pane.WaitFor("│ image.bin\n");
  pane.WaitFor("│binary file\n");
  pane.SendKeys(std::vector<std::string>(2, "Down"));
  pane.WaitFor("│ old name.txt -> new name.txt\n");
  pane.WaitFor("│renamed, 100% similar\n");
  pane.SendKeys({"Down"});
  pane.WaitFor("│ run.sh\n");
  pane.WaitFor("│mode 100644 \u2192 100755\n");
  pane.SendKeys({"q"});
  EXPECT_EQ(pane.WaitForExit(), 0);
}

}  // namespace
}  // namespace plimsy::testing
