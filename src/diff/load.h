#ifndef PLIMSY_DIFF_LOAD_H_
#define PLIMSY_DIFF_LOAD_H_

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "diff/diff.h"
#include "diff/render.h"
#include "sys/fd.h"
#include "sys/process.h"

namespace plimsy {

// A file, or a part of one, as the screens take it: parsed, with the
// split layout's row counts of its hunks made beside it.
struct LoadedFile {
  FilePart part;
  std::vector<int> split_rows;
};

// What a load has read since it was last asked.
struct LoadUpdate {
  // The files read, in order: whole, or the part of a long one that has
  // arrived since its part before, when it has grown enough to be shown
  // anew.
  std::vector<LoadedFile> files;
  // The text has ended; then git's exit status (0 for a text that was not
  // git's) and its standard error.
  bool ended = false;
  int status = 0;
  std::string error;

  bool empty() const { return files.empty() && !ended; }
};

// The lists a screen keeps of a load's files, each beside the others and
// all of the same length.
struct FileLists {
  std::vector<File>& files;
  std::vector<std::string>& names;
  std::vector<std::vector<int>>& split_rows;
  std::vector<RenderCache>& render_caches;
};

// Moves the files of `update` to the end of `lists`, joining a part to the
// file of the parts before it.
void TakeFiles(LoadUpdate& update, const FileLists& lists);

// Reads one diff in a thread of its own, parsing its files as the text
// arrives, for a screen to take them a few at a time while its keys keep
// working.
class DiffLoad {
 public:
  using Clock = std::chrono::steady_clock;

  // Runs git with `args` (without "git"), as GitStream does. `wake` is
  // called from the load's thread whenever something new waits to be
  // taken and the last call has been answered by Take. Throws
  // SpawnError when git cannot be started.
  DiffLoad(const std::vector<std::string>& args, std::function<void()> wake);

  // Reads descriptor `fd`, which the load owns and closes, after `head`,
  // the part of its text already read from it. With `strip_colour`, the
  // terminal's control sequences are taken out first.
  DiffLoad(std::string head,
           int fd,
           bool strip_colour,
           DiffReader::Options options,
           std::function<void()> wake);

  // Ends git if it still runs and waits for the thread.
  ~DiffLoad();
  DiffLoad(const DiffLoad&) = delete;
  DiffLoad& operator=(const DiffLoad&) = delete;

  // What has arrived since the last call. Never waits.
  LoadUpdate Take();

  // Wait until the text has ended, or `deadline` has passed; the first
  // waits as long as it takes. No wake is sent meanwhile: the caller takes
  // what has arrived next.
  void WaitForEnd();
  void WaitForEnd(Clock::time_point deadline);
  // Waits until there is a screenful to show (more files than a screen
  // lists, a first file or part of one longer than it shows) or the text
  // has ended.
  void WaitForFirst();
  // Waits until the first line of the text has arrived whole, or the text
  // has ended, and returns it (its first 4 KiB).
  std::string WaitForFirstLine();

  // Rows of a file's part that are worth showing before the file is whole,
  // and files that are worth showing before the text ends: more than a
  // screen holds.
  static constexpr std::size_t kFirstRows = 256;
  static constexpr std::size_t kFirstFiles = 128;

 private:
  void Start(std::string head, bool strip_colour, DiffReader::Options options);
  void Run(std::string head, bool strip_colour, DiffReader::Options options);
  ReadResult ReadMore(std::string& chunk, int timeout_ms);
  int EndSource(std::string& error);
  void Publish(std::vector<LoadedFile>& ready,
               bool ended,
               int status,
               std::string error);
  void NoteFirstLine(const std::string& text, bool ended);
  template <typename Done>
  void Wait(Clock::time_point deadline, Done done);

  std::function<void()> wake_;
  std::unique_ptr<Stream> stream_;
  int fd_ = -1;
  int stop_read_ = -1;
  int stop_write_ = -1;

  std::mutex mutex_;
  std::condition_variable changed_;
  LoadUpdate shared_;
  bool shown_ = false;
  bool ended_ = false;
  bool woken_ = false;
  std::optional<std::string> first_line_;
  std::string first_text_;

  std::thread thread_;
};

}  // namespace plimsy

#endif  // PLIMSY_DIFF_LOAD_H_
