#include "feed/feed.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "diff/feed.h"
#include "diff/loaded_diff.h"
#include "diff/pairing.h"
#include "support.h"

namespace plimsy {
namespace {

using testing::TempDir;

// One record per line of text.
class LineParser {
 public:
  using Record = std::string;

  void Read(std::string_view text) {
    for (char c : text) {
      if (c == '\n') {
        ready_.push_back(std::move(line_));
        line_.clear();
      } else {
        line_ += c;
      }
    }
  }
  void Finish() {}
  std::size_t ready() const { return ready_.size(); }
  bool Due(bool) const { return !ready_.empty(); }
  bool Pending() const { return false; }
  void Flush(bool) {}
  void Take(std::vector<std::string>& out, std::size_t most) {
    while (most > 0 && next_ < ready_.size()) {
      out.push_back(std::move(ready_[next_++]));
      --most;
    }
    if (next_ == ready_.size()) {
      ready_.clear();
      next_ = 0;
    }
  }

 private:
  std::string line_;
  std::vector<std::string> ready_;
  std::size_t next_ = 0;
};

using LineFeed = Feed<LineParser>;

// A pipe whose read end a feed owns.
struct Pipe {
  Pipe() { EXPECT_EQ(pipe(fds), 0); }
  ~Pipe() { CloseWriter(); }
  void Write(const std::string& text) {
    EXPECT_EQ(write(fds[1], text.data(), text.size()),
              static_cast<ssize_t>(text.size()));
  }
  void CloseWriter() {
    if (fds[1] >= 0) {
      close(fds[1]);
      fds[1] = -1;
    }
  }
  int fds[2] = {-1, -1};
};

std::vector<std::string> Numbers(int from, int to) {
  std::vector<std::string> numbers;
  for (int i = from; i < to; ++i) {
    numbers.push_back(std::to_string(i));
  }
  return numbers;
}

TEST(FeedTest, HandsOverWhatIsWantedAndNoMore) {
  Pipe pipe;
  std::string text;
  for (int i = 0; i < 100; ++i) {
    text += std::to_string(i) + "\n";
  }
  // Cut inside a line: the head and the descriptor make one text.
  LineFeed feed(FeedSource::Descriptor("0\n1", pipe.fds[0]), LineParser(), {},
                10);
  pipe.Write(text.substr(3));
  feed.WaitForRecords(10);
  EXPECT_EQ(feed.Take().records, Numbers(0, 10));
  // Everything is read by now, but nothing beyond what is wanted comes.
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_TRUE(feed.Take().empty());
  feed.Want(25);
  feed.WaitForRecords(25);
  EXPECT_EQ(feed.Take().records, Numbers(10, 25));
  EXPECT_FALSE(feed.ended());

  pipe.CloseWriter();
  feed.Want(LineFeed::kAll);
  feed.WaitForEnd();
  LineFeed::Update rest = feed.Take();
  EXPECT_EQ(rest.records, Numbers(25, 100));
  EXPECT_TRUE(rest.ended);
  EXPECT_EQ(rest.status, 0);
  EXPECT_TRUE(feed.ended());
}

TEST(FeedTest, GitsStatusAndErrorComeWithTheEnd) {
  TempDir outside;
  testing::ScopedCwd cwd(outside.path());
  LineFeed feed(FeedSource::Git({"log"}), LineParser(), {});
  feed.WaitForEnd();
  LineFeed::Update update = feed.Take();
  EXPECT_TRUE(update.ended);
  EXPECT_EQ(update.status, 128);
  EXPECT_NE(update.error.find("not a git repository"), std::string::npos)
      << update.error;
  EXPECT_EQ(feed.status(), 128);
}

bool Reaped(pid_t pid) {
  return kill(pid, 0) != 0 && errno == ESRCH;
}

// PATH with a directory first whose `git` prints `text` and then waits.
class PausingGit {
 public:
  explicit PausingGit(const std::string& text) : path_(std::getenv("PATH")) {
    const std::string git = dir_.path() + "/git";
    std::ofstream(git) << "#!/bin/sh\nprintf '" << text << "'\nexec sleep 30\n";
    chmod(git.c_str(), 0755);
    setenv("PATH", (dir_.path() + ":" + path_).c_str(), 1);
  }
  ~PausingGit() { setenv("PATH", path_.c_str(), 1); }

 private:
  TempDir dir_;
  std::string path_;
};

TEST(FeedTest, DestroyingEndsAndReapsAGitThatStillRuns) {
  PausingGit git("one\\ntwo\\n");
  pid_t pid = -1;
  {
    LineFeed feed(FeedSource::Git({"log"}), LineParser(), {});
    feed.WaitForRecords(2);
    EXPECT_EQ(feed.Take().records, (std::vector<std::string>{"one", "two"}));
    EXPECT_FALSE(feed.ended());
    pid = feed.pid();
    EXPECT_EQ(kill(pid, 0), 0);
  }
  EXPECT_TRUE(Reaped(pid));
}

TEST(FeedTest, OneWakePerBatchTaken) {
  Pipe pipe;
  int wakes = 0;
  std::mutex mutex;
  LineFeed feed(FeedSource::Descriptor("", pipe.fds[0]), LineParser(), [&] {
    std::lock_guard lock(mutex);
    ++wakes;
  });
  auto wait_for_wakes = [&](int count) {
    for (int i = 0; i < 10000; ++i) {
      {
        std::lock_guard lock(mutex);
        if (wakes >= count) {
          return;
        }
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  };
  pipe.Write("a\n");
  // A wait takes the place of the wake.
  feed.WaitForRecords(1);
  EXPECT_EQ(feed.Take().records, std::vector<std::string>{"a"});
  pipe.Write("b\n");
  wait_for_wakes(1);
  // Until the batch is taken, what comes after it joins it unannounced.
  pipe.Write("c\n");
  feed.WaitForRecords(3);
  {
    std::lock_guard lock(mutex);
    EXPECT_EQ(wakes, 1);
  }
  EXPECT_EQ(feed.Take().records, (std::vector<std::string>{"b", "c"}));
  pipe.Write("d\n");
  wait_for_wakes(2);
  EXPECT_EQ(feed.Take().records, std::vector<std::string>{"d"});
  pipe.CloseWriter();
}

TEST(LoadedDiffTest, AWakeForALoadThatWasReplacedIsDropped) {
  std::vector<std::function<void()>> tasks;
  Poster post = [&tasks](std::function<void()> task) {
    tasks.push_back(std::move(task));
  };
  LoadedDiff diff;
  std::vector<int> taken;
  auto start = [&](int load) {
    Pipe pipe;
    std::function<void()> wake =
        NextLoadWake(diff, post, [&taken, load] { taken.push_back(load); });
    StartLoad(diff, ReadDiffText("", dup(pipe.fds[0]), {}));
    close(pipe.fds[0]);
    return wake;
  };
  std::function<void()> first = start(1);
  std::function<void()> second = start(2);
  first();
  second();
  for (const std::function<void()>& task : tasks) {
    task();
  }
  EXPECT_EQ(taken, std::vector<int>{2});
}

// Git's marker may come after the part that took the line it marks, even
// after a hunk that had ended: that hunk's rows are counted again.
TEST(LoadedDiffTest, AMarkerAfterThePartOfItsLineCountsItsHunkAgain) {
  Pipe pipe;
  LoadedDiff diff;
  StartLoad(diff, ReadDiffText("", pipe.fds[0], {}));
  pipe.Write("diff --git a/f b/f\n--- a/f\n+++ b/f\n@@ -1 +1 @@\n-}\n+}\n");
  // The text pauses: what has come of the file is handed over.
  TakeFirst(diff);
  ASSERT_EQ(diff.files.size(), 1u);
  pipe.Write("\\ No newline at end of file\n");
  pipe.CloseWriter();
  SettleLoad(diff, false);
  ASSERT_EQ(diff.files.size(), 1u);
  ASSERT_EQ(diff.files[0].hunks.size(), 1u);
  EXPECT_TRUE(diff.files[0].hunks[0].lines[1].no_newline);
  EXPECT_EQ(diff.split_rows[0], SplitRowCounts(diff.files[0]));
}

}  // namespace
}  // namespace plimsy
