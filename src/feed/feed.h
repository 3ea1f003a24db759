#ifndef PLIMSY_FEED_FEED_H_
#define PLIMSY_FEED_FEED_H_

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstring>
#include <functional>
#include <limits>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "feed/source.h"
#include "sys/child_registry.h"
#include "sys/process.h"

// One way for a screen to read a stream: a thread of the feed's own reads
// the text as it comes, a parser turns it into records, and the screen
// takes them a batch at a time, woken once per batch, while its keys keep
// working. The screen's thread never reads a pipe or waits for a child.
namespace plimsy {

// Hands a task to a screen's loop from any thread; the screen is drawn
// after it runs.
using Poster = std::function<void(std::function<void()>)>;

// A feed's wake that hands `task` to the loop through `post`; none without
// `post`, for a screen that waits for what it needs instead.
std::function<void()> PostingWake(const Poster& post,
                                  std::function<void()> task);

// How long a key that runs git waits for git's output before the frame is
// drawn: what git prints at once comes whole in one frame, a long text
// shows what has arrived by then and the rest as it comes.
inline constexpr auto kSettleTime = std::chrono::milliseconds(40);

// A screen opens when its first records have come, and this long after its
// start at the latest, "loading…" until they come.
inline constexpr auto kFirstScreenTime = std::chrono::milliseconds(50);

// What to tell the user when git failed after some of its output was
// shown: "git stopped: " and the first line of its standard error, or its
// exit status when it said nothing.
std::string StoppedMessage(int status, std::string_view error);

// What a feed hands over at a time.
template <typename Record>
struct FeedUpdate {
  std::vector<Record> records;
  // The text has ended and every record has been handed over; then git's
  // exit status (0 for a text that was not git's) and its standard error.
  bool ended = false;
  int status = 0;
  std::string error;

  bool empty() const { return records.empty() && !ended; }
};

// A parser, used on the feed's thread only, provides:
//   using Record = ...;
//   void Read(std::string_view text);   // the next piece of the text
//   void Finish();                      // the text has ended
//   std::size_t ready() const;          // records read, not yet taken
//   bool Due(bool first) const;         // what is read is worth handing
//                                       // over now; `first` while nothing
//                                       // has been
//   bool Pending() const;               // something read is held back
//                                       // until more comes
//   void Flush(bool all);               // the text pauses: what is held
//                                       // back becomes ready; with `all`,
//                                       // all that is read, as the feed
//                                       // reads no further for now
//   void Take(std::vector<Record>& out, std::size_t most);
// What has been read is handed over when the parser finds it due, and also
// as soon as the text pauses: a git that prints a little and then thinks
// shows that little at once.
template <typename Parser>
class Feed {
 public:
  using Record = typename Parser::Record;
  using Update = FeedUpdate<Record>;
  using Clock = std::chrono::steady_clock;

  static constexpr std::size_t kAll = std::numeric_limits<std::size_t>::max();
  // How often records are handed over after the first: each hand-over
  // draws a frame.
  static constexpr auto kInterval = std::chrono::milliseconds(30);
  // A text that stops coming for this long has paused.
  static constexpr auto kQuiet = std::chrono::milliseconds(10);
  static constexpr std::size_t kFirstLineLimit = 4096;

  // Reads `source` through `parser`, handing over `wanted` records at most
  // until Want asks for more; git is then left waiting on a full pipe.
  // `wake` is called from the feed's thread whenever something new waits to
  // be taken and the last call has been answered by Take.
  Feed(FeedSource source,
       Parser parser,
       std::function<void()> wake,
       std::size_t wanted = kAll)
      : source_(std::move(source)),
        parser_(std::move(parser)),
        wake_(std::move(wake)),
        wanted_(wanted) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
      throw SpawnError(std::string("pipe: ") + std::strerror(errno));
    }
    stop_read_ = fds[0];
    stop_write_ = fds[1];
    // The thread takes no signal: those that end the program are for the
    // screen's own handling.
    SignalsHeld held;
    thread_ = std::thread(&Feed::Run, this);
  }

  // Stops the thread, which ends git if it still runs and reaps it.
  ~Feed() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
      changed_.notify_all();
    }
    WriteAll(stop_write_, std::string_view("x", 1));
    thread_.join();
    close(stop_read_);
    close(stop_write_);
  }
  Feed(const Feed&) = delete;
  Feed& operator=(const Feed&) = delete;

  // What has been handed over since the last call. Never waits.
  Update Take() {
    std::lock_guard lock(mutex_);
    Update update = std::move(shared_);
    shared_ = Update();
    woken_ = false;
    return update;
  }

  // Lets the feed hand over `records` records in all.
  void Want(std::size_t records) {
    std::lock_guard lock(mutex_);
    if (records > wanted_) {
      wanted_ = records;
      changed_.notify_all();
    }
  }

  // Lets the feed hand over no more than it has, until Want asks again: a
  // screen that read on stops.
  void WantNoMore() {
    std::lock_guard lock(mutex_);
    if (wanted_ != delivered_) {
      wanted_ = delivered_;
      changed_.notify_all();
    }
  }

  // Lets the feed read `bytes` bytes of the text in all, and no more until
  // asked again; kAll lets it read to the end. Every record read by then is
  // handed over, the file or commit being read in part.
  void ReadUpTo(std::size_t bytes) {
    std::lock_guard lock(mutex_);
    if (bytes != read_limit_) {
      read_limit_ = bytes;
      changed_.notify_all();
    }
  }

  // The bytes of the text read so far.
  std::size_t bytes_read() {
    std::lock_guard lock(mutex_);
    return bytes_read_;
  }

  // These wait, until `deadline` or as long as it takes, until the text has
  // ended and all is handed over; until something has been handed over;
  // until `records` records have been, in all. Each also returns once the
  // text has ended. No wake is sent meanwhile: the caller takes what has
  // arrived next.
  void WaitForEnd(Clock::time_point deadline = Clock::time_point::max()) {
    Wait(deadline, [this] { return ended_; });
  }
  void WaitForFirst(Clock::time_point deadline = Clock::time_point::max()) {
    Wait(deadline, [this] { return delivered_ > 0 || ended_; });
  }
  void WaitForRecords(std::size_t records,
                      Clock::time_point deadline = Clock::time_point::max()) {
    Wait(deadline, [this, records] { return delivered_ >= records || ended_; });
  }
  // Waits until the first line of the text has arrived whole, or the text
  // has ended, and returns it (its first 4 KiB); empty when neither has
  // come by `deadline`.
  std::string WaitForFirstLine(
      Clock::time_point deadline = Clock::time_point::max()) {
    Wait(deadline, [this] { return first_line_.has_value() || source_ended_; });
    std::lock_guard lock(mutex_);
    return first_line_.value_or(std::string());
  }

  // The child's process id, or -1 for a text that is not git's.
  pid_t pid() const { return pid_; }

  // Whether the feed reads on: more is wanted than it has handed over, and
  // the text goes on.
  bool reading() {
    std::lock_guard lock(mutex_);
    return !ended_ && delivered_ < wanted_;
  }

  // Whether the end has been handed over; then git's exit status.
  bool ended() {
    std::lock_guard lock(mutex_);
    return ended_;
  }
  int status() {
    std::lock_guard lock(mutex_);
    return status_;
  }

 private:
  void Run() {
    std::string chunk = source_.TakeHead();
    std::string first_text;
    bool source_ended = false;
    int status = 0;
    std::string error;
    bool published = false;
    // The last read found nothing for kQuiet.
    bool quiet = false;
    Clock::time_point last_publish;
    while (true) {
      if (!chunk.empty()) {
        {
          std::lock_guard lock(mutex_);
          bytes_read_ += chunk.size();
        }
        if (!first_line_known_) {
          first_text += chunk.substr(0, kFirstLineLimit);
          NoteFirstLine(first_text, false);
        }
        parser_.Read(chunk);
        chunk.clear();
      }
      std::size_t room;
      // A screen that says how much it wants waits for each record of it.
      bool asked;
      // The text is read as far as the screen lets it be, for now.
      bool limited;
      std::size_t limit;
      {
        std::lock_guard lock(mutex_);
        if (stopping_) {
          break;
        }
        room = wanted_ - delivered_;
        asked = wanted_ != kAll;
        limit = read_limit_;
        limited = bytes_read_ >= limit && !source_ended;
      }
      const bool held = parser_.ready() > 0 || parser_.Pending();
      if (limited && room > 0) {
        parser_.Flush(true);
      } else if (quiet && held && room > 0 && !source_ended) {
        parser_.Flush(false);
      }
      // The end goes at once, and what a pause or the read limit leaves or
      // a screen asks for; other hand-overs wait for the interval.
      const bool due =
          source_ended || quiet || asked || limited
              ? parser_.ready() > 0 && room > 0
              : room > 0 && parser_.Due(!published) &&
                    (!published || Clock::now() - last_publish >= kInterval);
      quiet = false;
      if (due || (source_ended && parser_.ready() == 0)) {
        std::vector<Record> records;
        parser_.Take(records, room);
        const bool all_out = source_ended && parser_.ready() == 0;
        Publish(std::move(records), all_out, status, error);
        published = true;
        last_publish = Clock::now();
        if (all_out) {
          break;
        }
        continue;
      }
      // A hand-over that waits for the interval bounds the wait.
      int timeout = -1;
      if (room > 0 && !source_ended && parser_.Due(!published)) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            last_publish + kInterval - Clock::now());
        timeout = static_cast<int>(std::max<long>(left.count(), 0));
      } else if (room > 0 && !source_ended && held) {
        timeout = static_cast<int>(kQuiet.count());
      }
      if (source_ended || parser_.ready() >= room || limited) {
        // Enough is read until more is wanted.
        std::unique_lock lock(mutex_);
        const std::size_t wanted = wanted_;
        auto more = [this, wanted, limit] {
          return stopping_ || wanted_ != wanted || read_limit_ != limit;
        };
        if (timeout < 0) {
          changed_.wait(lock, more);
        } else {
          changed_.wait_for(lock, std::chrono::milliseconds(timeout), more);
        }
        continue;
      }
      const auto result = source_.ReadSome(chunk, stop_read_, timeout);
      if (result == ReadResult::kStopped) {
        break;
      }
      quiet = result == ReadResult::kTimedOut;
      if (result == ReadResult::kEnded) {
        parser_.Finish();
        status = source_.End(error);
        source_ended = true;
        NoteFirstLine(first_text, true);
      }
    }
    // Ends git if it still runs.
    source_.Close();
  }

  void NoteFirstLine(const std::string& text, bool ended) {
    if (first_line_known_) {
      return;
    }
    const std::size_t end = text.find('\n');
    std::lock_guard lock(mutex_);
    if (ended) {
      source_ended_ = true;
      changed_.notify_all();
    }
    if (end == std::string::npos && !ended && text.size() < kFirstLineLimit) {
      return;
    }
    first_line_known_ = true;
    first_line_ = text.substr(0, std::min(end, kFirstLineLimit));
    changed_.notify_all();
  }

  void Publish(std::vector<Record> records,
               bool ended,
               int status,
               const std::string& error) {
    bool wake = false;
    {
      std::lock_guard lock(mutex_);
      delivered_ += records.size();
      if (shared_.records.empty()) {
        shared_.records = std::move(records);
      } else {
        shared_.records.insert(shared_.records.end(),
                               std::make_move_iterator(records.begin()),
                               std::make_move_iterator(records.end()));
      }
      if (ended) {
        shared_.ended = true;
        shared_.status = status;
        shared_.error = error;
        status_ = status;
        ended_ = true;
        source_ended_ = true;
      }
      wake = !woken_;
      woken_ = true;
      changed_.notify_all();
    }
    if (wake && wake_) {
      wake_();
    }
  }

  template <typename Done>
  void Wait(Clock::time_point deadline, Done done) {
    std::unique_lock lock(mutex_);
    woken_ = true;
    if (deadline == Clock::time_point::max()) {
      changed_.wait(lock, done);
    } else {
      changed_.wait_until(lock, deadline, done);
    }
  }

  FeedSource source_;
  Parser parser_;
  std::function<void()> wake_;
  const pid_t pid_ = source_.pid();
  int stop_read_ = -1;
  int stop_write_ = -1;
  // Only the feed's thread reads and writes it.
  bool first_line_known_ = false;

  std::mutex mutex_;
  std::condition_variable changed_;
  Update shared_;
  std::size_t wanted_;
  std::size_t delivered_ = 0;
  std::size_t read_limit_ = kAll;
  std::size_t bytes_read_ = 0;
  bool stopping_ = false;
  bool ended_ = false;
  int status_ = 0;
  bool source_ended_ = false;
  bool woken_ = false;
  std::optional<std::string> first_line_;

  std::thread thread_;
};

}  // namespace plimsy

#endif  // PLIMSY_FEED_FEED_H_
