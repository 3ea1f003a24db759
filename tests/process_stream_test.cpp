#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "sys/process.h"

namespace plimsy {
namespace {

RunOptions Capturing() {
  RunOptions options;
  options.in = PipeOption::kClose;
  options.err = PipeOption::kPipe;
  return options;
}

int OpenDescriptors() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry :
       std::filesystem::directory_iterator("/proc/self/fd")) {
    ++count;
  }
  return count;
}

// True once `pid` is gone for good: neither running nor a zombie, which
// would still answer kill().
bool Reaped(pid_t pid) {
  int status = 0;
  return kill(pid, 0) != 0 && errno == ESRCH &&
         waitpid(pid, &status, WNOHANG) < 0 && errno == ECHILD;
}

std::string ReadAll(Stream& stream) {
  std::string text;
  while (stream.Read(text)) {
  }
  return text;
}

TEST(StreamTest, ReadsOnDemandAndEndsTheChildWhenDestroyed) {
  const int descriptors = OpenDescriptors();
  pid_t pid = -1;
  {
    // Far more output than a pipe holds: the child is blocked writing.
    Stream stream({"seq", "1", "1000000"}, Capturing());
    pid = stream.pid();
    std::string text;
    while (text.size() < 6 && stream.Read(text)) {
    }
    EXPECT_TRUE(text.starts_with("1\n2\n3\n")) << text.substr(0, 20);
    EXPECT_LT(text.size(), 1000000u);
    EXPECT_EQ(kill(pid, 0), 0);
    EXPECT_FALSE(stream.reaped());
  }
  EXPECT_TRUE(Reaped(pid));
  EXPECT_EQ(OpenDescriptors(), descriptors);
}

TEST(StreamTest, EndOfOutputThenStatusAndError) {
  const int descriptors = OpenDescriptors();
  Stream stream({"sh", "-c", "echo out; echo err >&2; exit 3"}, Capturing());
  EXPECT_EQ(ReadAll(stream), "out\n");
  std::string more;
  EXPECT_FALSE(stream.Read(more));
  EXPECT_EQ(stream.Wait(), 3);
  EXPECT_EQ(stream.error(), "err\n");
  EXPECT_TRUE(Reaped(stream.pid()));
  EXPECT_EQ(stream.Close(), 3);
  EXPECT_EQ(OpenDescriptors(), descriptors);
}

TEST(StreamTest, FullStandardErrorNeverBlocksTheChild) {
  // 1 MiB of errors before the first byte of output; the errors are kept
  // up to their limit.
  Stream stream(
      {"sh", "-c", "head -c 1048576 /dev/zero | tr '\\0' e >&2; echo done"},
      Capturing());
  EXPECT_EQ(ReadAll(stream), "done\n");
  EXPECT_EQ(stream.Wait(), 0);
  EXPECT_EQ(stream.error(), std::string(64 * 1024, 'e'));
}

TEST(StreamTest, ChildThatIgnoresTerminationIsKilled) {
  Stream stream({"sh", "-c", "trap '' TERM; echo ready; while :; do :; done"},
                Capturing());
  std::string text;
  ASSERT_TRUE(stream.Read(text));
  EXPECT_EQ(text, "ready\n");
  EXPECT_EQ(stream.Close(), 128 + SIGKILL);
  EXPECT_TRUE(Reaped(stream.pid()));
}

TEST(StreamTest, WaitBeforeTheEndEndsTheChild) {
  Stream stream({"sh", "-c", "echo ready; exec sleep 60"}, Capturing());
  std::string text;
  ASSERT_TRUE(stream.Read(text));
  EXPECT_EQ(stream.Wait(), 128 + SIGTERM);
  EXPECT_TRUE(Reaped(stream.pid()));
}

TEST(StreamTest, ChildSeesOnlyItsStandardStreams) {
  Stream stream({"sh", "-c", "ls /proc/self/fd | sort -n | tr '\\n' ' '"},
                Capturing());
  // 3 is the directory that ls itself has open while it lists.
  EXPECT_EQ(ReadAll(stream), "0 1 2 3 ");
  EXPECT_EQ(stream.Wait(), 0);
}

TEST(StreamTest, ProgramThatCannotStartIsAnError) {
  const int descriptors = OpenDescriptors();
  EXPECT_THROW(Stream({"plimsy-no-such-program"}, Capturing()), SpawnError);
  EXPECT_THROW(Stream({}, Capturing()), SpawnError);
  EXPECT_EQ(OpenDescriptors(), descriptors);
}

}  // namespace
}  // namespace plimsy
