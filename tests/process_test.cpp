#include "sys/process.h"

#include <gtest/gtest.h>

#include <string>

namespace subprocess {
namespace {

RunOptions Capturing() {
  RunOptions options;
  options.cin = PipeOption::close;
  options.cout = PipeOption::pipe;
  options.cerr = PipeOption::pipe;
  return options;
}

TEST(ProcessTest, BothPipesAreDrainedTogether) {
  // Each stream gets 8 MiB, written in alternation, far beyond a pipe's
  // buffer: reading one stream only would deadlock.
  const char* script =
      "i=0; while [ $i -lt 128 ]; do "
      "head -c 65536 /dev/zero | tr '\\0' o; "
      "head -c 65536 /dev/zero | tr '\\0' e >&2; "
      "i=$((i+1)); done";
  CompletedProcess result = run({"sh", "-c", script}, Capturing());
  EXPECT_EQ(result.returncode, 0);
  EXPECT_EQ(result.cout, std::string(8 << 20, 'o'));
  EXPECT_EQ(result.cerr, std::string(8 << 20, 'e'));
}

TEST(ProcessTest, ClosedInputReadsEndOfFileAtOnce) {
  CompletedProcess result = run({"sh", "-c", "cat; echo done $?"}, Capturing());
  EXPECT_EQ(result.cout, "done 0\n");
}

TEST(ProcessTest, PipedInputReadsEndOfFileAtOnce) {
  RunOptions options = Capturing();
  options.cin = PipeOption::pipe;
  CompletedProcess result = run({"sh", "-c", "cat; echo done"}, options);
  EXPECT_EQ(result.cout, "done\n");
}

TEST(ProcessTest, ExitStatusAndSignals) {
  struct Case {
    const char* script;
    int status;
  };
  const Case cases[] = {
      {"exit 0", 0},
      {"exit 3", 3},
      {"exit 255", 255},
      {"kill -TERM $$", 128 + 15},
      {"kill -KILL $$", 128 + 9},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(run({"sh", "-c", c.script}, Capturing()).returncode, c.status)
        << c.script;
  }
}

TEST(ProcessTest, NoDescriptorBeyondTheStandardStreamsLeaks) {
  CompletedProcess result = run(
      {"sh", "-c", "ls /proc/self/fd | sort -n | tr '\\n' ' '"}, Capturing());
  // 3 is the directory that ls itself has open while it lists.
  EXPECT_EQ(result.cout, "0 1 2 3 ");
}

TEST(ProcessTest, EnvironmentReplacesTheInheritedOne) {
  RunOptions options = Capturing();
  options.env = {"ONLY=this"};
  CompletedProcess result = run({"/usr/bin/env"}, options);
  EXPECT_EQ(result.cout, "ONLY=this\n");
}

TEST(ProcessTest, ProgramThatCannotStartIsAnError) {
  EXPECT_THROW(run({"plimsy-no-such-program"}, Capturing()), SpawnError);
  EXPECT_THROW(run({"/etc/hostname"}, Capturing()), SpawnError);
  EXPECT_THROW(run({}, Capturing()), SpawnError);
}

}  // namespace
}  // namespace subprocess
