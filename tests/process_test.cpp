#include "sys/process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

namespace plimsy {
namespace {

RunOptions Capturing() {
  RunOptions options;
  options.in = PipeOption::kClose;
  options.out = PipeOption::kPipe;
  options.err = PipeOption::kPipe;
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
  CompletedProcess result = plimsy::Run({"sh", "-c", script}, Capturing());
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, std::string(8 << 20, 'o'));
  EXPECT_EQ(result.err, std::string(8 << 20, 'e'));
}

TEST(ProcessTest, ClosedInputReadsEndOfFileAtOnce) {
  CompletedProcess result =
      plimsy::Run({"sh", "-c", "cat; echo done $?"}, Capturing());
  EXPECT_EQ(result.out, "done 0\n");
}

TEST(ProcessTest, PipedInputReadsEndOfFileAtOnce) {
  RunOptions options = Capturing();
  options.in = PipeOption::kPipe;
  CompletedProcess result =
      plimsy::Run({"sh", "-c", "cat; echo done"}, options);
  EXPECT_EQ(result.out, "done\n");
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
    EXPECT_EQ(plimsy::Run({"sh", "-c", c.script}, Capturing()).status, c.status)
        << c.script;
  }
}

TEST(ProcessTest, NoDescriptorBeyondTheStandardStreamsLeaks) {
  CompletedProcess result = plimsy::Run(
      {"sh", "-c", "ls /proc/self/fd | sort -n | tr '\\n' ' '"}, Capturing());
  // 3 is the directory that ls itself has open while it lists.
  EXPECT_EQ(result.out, "0 1 2 3 ");
}

TEST(ProcessTest, EnvironmentReplacesTheInheritedOne) {
  RunOptions options = Capturing();
  options.env = {"ONLY=this"};
  CompletedProcess result = plimsy::Run({"/usr/bin/env"}, options);
  EXPECT_EQ(result.out, "ONLY=this\n");
}

TEST(ProcessTest, GivenDescriptorIsTheInputAndStaysOpen) {
  int fds[2];
  ASSERT_EQ(pipe2(fds, O_CLOEXEC), 0);
  ASSERT_EQ(write(fds[1], "text", 4), 4);
  close(fds[1]);
  RunOptions options = Capturing();
  options.in_fd = fds[0];
  EXPECT_EQ(plimsy::Run({"cat"}, options).out, "text");
  EXPECT_NE(fcntl(fds[0], F_GETFD), -1);
  close(fds[0]);
}

TEST(ProcessTest, StartedChildRunsUntilWaitedFor) {
  int fds[2];
  ASSERT_EQ(pipe2(fds, O_CLOEXEC), 0);
  RunOptions options;
  options.in_fd = fds[0];
  // The child waits for a line that is written only once it has started.
  const pid_t pid =
      StartChild({"sh", "-c", "read status; exit $status"}, options);
  close(fds[0]);
  ASSERT_EQ(write(fds[1], "7\n", 2), 2);
  close(fds[1]);
  EXPECT_EQ(WaitForChild(pid), 7);
}

TEST(ProcessTest, ProgramThatCannotStartIsAnError) {
  EXPECT_THROW(plimsy::Run({"plimsy-no-such-program"}, Capturing()),
               SpawnError);
  EXPECT_THROW(plimsy::Run({"/etc/hostname"}, Capturing()), SpawnError);
  EXPECT_THROW(plimsy::Run({}, Capturing()), SpawnError);
}

}  // namespace
}  // namespace plimsy
