// Pager mode on a text that never ends, such as a long `git log -p`: the
// screen reads what it shows and a little beyond, reads on for a search or
// the end when asked, and stops when told.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support.h"

namespace plimsy::testing {
namespace {

namespace fs = std::filesystem;

// Writes files of 100 changed lines without end, one named "needle" after
// the 6000th (some 13 MiB in); once it has written 48 MiB it says so in
// `past`.
constexpr char kEndlessDiff[] = R"(BEGIN {
  for (n = 1; ; n++) {
    s = sprintf("diff --git a/d/f%d b/d/f%d\n--- a/d/f%d\n+++ b/d/f%d\n" \
                "@@ -1,50 +1,50 @@\n", n, n, n, n)
    for (i = 1; i <= 50; i++) s = s sprintf("-old line %d of %d\n", i, n)
    for (i = 1; i <= 50; i++) s = s sprintf("+new line %d of %d\n", i, n)
    if (n == 6000)
      s = s "diff --git a/needle b/needle\n--- a/needle\n+++ b/needle\n" \
            "@@ -1 +1 @@\n-a\n+b\n"
    printf "%s", s
    bytes += length(s)
    if (bytes > 48 * 1048576 && !told) {
      print "past" > past
      close(past)
      told = 1
    }
  }
})";

TEST(PagerReadAheadEndToEndTest, ReadsAsFarAsShownAndOnWhenAsked) {
  TempDir dir;
  const std::string program = dir.path() + "/endless.awk";
  std::ofstream(program) << kEndlessDiff;
  const std::string past = dir.path() + "/past";
  TmuxPane pane(dir.path(),
                {"sh", "-c", "awk -v past=\"$1\" -f \"$2\" | \"$0\"",
                 PlimsyBinary(), past, program},
                100, 30);
  std::string screen = pane.WaitFor("+new line 1 of 1");
  EXPECT_TRUE(Shows(screen, "M d/f1 ")) << screen;

  // The match is far beyond what the screen read: it reads on for it.
  pane.SendKeys({"/", "n", "e", "e", "d", "l", "e", "Enter"});
  // A frame is written from the top down: wait for the lowest row checked.
  screen = pane.WaitFor("> M needle");
  EXPECT_TRUE(Shows(screen, "+b")) << screen;
  // Then it reads no further than a little beyond the match.
  pane.SendKeys({"j"});
  pane.WaitFor("> M d/f6001");
  pane.SendKeys({"k"});
  pane.WaitFor("> M needle");
  EXPECT_FALSE(fs::exists(past));

  // End reads on, and Escape stops it where it is, without quitting.
  pane.SendKeys({"End"});
  pane.WaitFor("Esc stops");
  pane.SendKeys({"Escape"});
  screen = pane.WaitFor("Stopped reading");
  EXPECT_TRUE(Shows(screen, "loading\u2026")) << screen;

  pane.SendKeys({"q"});
  EXPECT_EQ(pane.WaitForExit(std::chrono::seconds(5)), 0);
}

}  // namespace
}  // namespace plimsy::testing
