#include "diff/load.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "child_registry.h"
#include "diff/file_labels.h"
#include "diff/pairing.h"
#include "diff/strip_colour.h"
#include "git.h"

namespace plimsy {
namespace {

using ReadResult = subprocess::Stream::ReadResult;

// How often the files read meanwhile are handed over, after the first:
// each hand-over draws a frame.
constexpr auto kPublishInterval = std::chrono::milliseconds(30);
constexpr std::size_t kFirstLineLimit = 4096;

// Stream::ReadSome for a plain descriptor.
ReadResult ReadDescriptor(int fd,
                          std::string& out,
                          int stop_fd,
                          int timeout_ms) {
  char buffer[65536];
  while (true) {
    pollfd fds[2] = {{fd, POLLIN, 0}, {stop_fd, POLLIN, 0}};
    const int ready = poll(fds, 2, timeout_ms);
    if (ready < 0) {
      if (errno == EINTR) {
        continue;
      }
      return ReadResult::kEnded;
    }
    if (fds[1].revents != 0) {
      return ReadResult::kStopped;
    }
    if (ready == 0) {
      return ReadResult::kTimedOut;
    }
    const ssize_t n = read(fd, buffer, sizeof(buffer));
    if (n > 0) {
      out.append(buffer, static_cast<std::size_t>(n));
      return ReadResult::kData;
    }
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
      continue;
    }
    return ReadResult::kEnded;
  }
}

// The rows a file's difference takes: its hunks' headers and lines.
std::size_t Rows(const File& file) {
  std::size_t rows = file.hunks.size();
  for (const Hunk& hunk : file.hunks) {
    rows += hunk.lines.size();
  }
  return rows;
}

LoadedFile Loaded(FilePart part) {
  LoadedFile loaded{std::move(part), {}};
  loaded.split_rows = SplitRowCounts(loaded.part.file);
  return loaded;
}

}  // namespace

DiffLoad::DiffLoad(const std::vector<std::string>& args,
                   std::function<void()> wake)
    : wake_(std::move(wake)),
      // The stream cannot move: it is made in place.
      stream_(new subprocess::Stream(GitStream(args))) {
  Start({}, false, {});
}

DiffLoad::DiffLoad(std::string head,
                   int fd,
                   bool strip_colour,
                   DiffReader::Options options,
                   std::function<void()> wake)
    : wake_(std::move(wake)), fd_(fd) {
  Start(std::move(head), strip_colour, options);
}

void DiffLoad::Start(std::string head,
                     bool strip_colour,
                     DiffReader::Options options) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    throw subprocess::SpawnError(std::string("pipe: ") + std::strerror(errno));
  }
  stop_read_ = fds[0];
  stop_write_ = fds[1];
  // The thread takes no signal: those that end the program are for the
  // screen's own handling.
  SignalsHeld held;
  thread_ =
      std::thread(&DiffLoad::Run, this, std::move(head), strip_colour, options);
}

DiffLoad::~DiffLoad() {
  const char stop = 0;
  while (write(stop_write_, &stop, 1) < 0 && errno == EINTR) {
  }
  thread_.join();
  // Ends git if it still runs.
  stream_.reset();
  if (fd_ >= 0) {
    close(fd_);
  }
  close(stop_read_);
  close(stop_write_);
}

ReadResult DiffLoad::ReadMore(std::string& chunk, int timeout_ms) {
  if (stream_) {
    return stream_->ReadSome(chunk, stop_read_, timeout_ms);
  }
  return ReadDescriptor(fd_, chunk, stop_read_, timeout_ms);
}

int DiffLoad::EndSource(std::string& error) {
  if (!stream_) {
    return 0;
  }
  const int status = stream_->Wait();
  error = stream_->error();
  return status;
}

void DiffLoad::NoteFirstLine(const std::string& text, bool ended) {
  if (first_line_) {
    return;
  }
  const std::size_t end = text.find('\n');
  if (end == std::string::npos && !ended && text.size() < kFirstLineLimit) {
    return;
  }
  std::lock_guard lock(mutex_);
  first_line_ = text.substr(0, std::min(end, kFirstLineLimit));
  changed_.notify_all();
}

void DiffLoad::Run(std::string head,
                   bool strip_colour,
                   DiffReader::Options options) {
  DiffReader reader(options);
  ColourStripper stripper;
  std::string chunk = std::move(head);
  std::string text;
  std::vector<LoadedFile> ready;
  std::vector<FilePart> taken;
  auto take = [&ready, &taken] {
    for (FilePart& part : taken) {
      ready.push_back(Loaded(std::move(part)));
    }
    taken.clear();
  };
  bool published = false;
  auto last_publish = Clock::now();
  // The rows of the current file when a part of it was last handed over.
  std::size_t partial_rows = 0;
  bool waiting = false;
  std::size_t files_read = 0;
  // The rows of the files read whole.
  std::size_t rows_read = 0;
  while (true) {
    ReadResult result = ReadResult::kData;
    if (chunk.empty()) {
      int timeout = -1;
      if (published && waiting) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            last_publish + kPublishInterval - Clock::now());
        timeout = static_cast<int>(std::max<long>(left.count(), 0));
      }
      result = ReadMore(chunk, timeout);
    }
    if (result == ReadResult::kStopped) {
      return;
    }
    const bool ended = result == ReadResult::kEnded;
    if (!chunk.empty()) {
      if (strip_colour) {
        text.clear();
        stripper.Strip(chunk, text);
      } else {
        text.swap(chunk);
      }
      chunk.clear();
      if (!first_line_) {
        first_text_ += text.substr(0, kFirstLineLimit);
        NoteFirstLine(first_text_, false);
      }
      reader.Read(text);
    }
    if (ended) {
      reader.Finish();
      NoteFirstLine(first_text_, true);
    }
    reader.TakeParts(taken);
    if (!taken.empty()) {
      partial_rows = 0;
      files_read += taken.size();
      for (const FilePart& part : taken) {
        rows_read += Rows(part.file);
      }
      take();
    }
    // A part is moved, not copied, but each makes the screen measure the
    // whole file again: parts come as the file doubles.
    const std::size_t rows = reader.current_rows();
    const bool partial_due = rows >= kFirstRows && rows >= 2 * partial_rows;
    // The first hand-over waits for a screenful: more files, or more rows
    // of them, than a screen holds.
    waiting = published
                  ? !ready.empty() || partial_due
                  : files_read >= kFirstFiles || rows_read + rows >= kFirstRows;
    if (ended) {
      std::string error;
      const int status = EndSource(error);
      Publish(ready, true, status, std::move(error));
      return;
    }
    const bool due =
        published ? Clock::now() - last_publish >= kPublishInterval : true;
    if (waiting && due) {
      if (partial_due) {
        reader.TakeCurrentPart(taken);
        take();
        partial_rows = rows;
      }
      Publish(ready, false, 0, {});
      published = true;
      last_publish = Clock::now();
      waiting = false;
    }
  }
}

void DiffLoad::Publish(std::vector<LoadedFile>& ready,
                       bool ended,
                       int status,
                       std::string error) {
  bool wake = false;
  {
    std::lock_guard lock(mutex_);
    if (shared_.files.empty()) {
      shared_.files = std::move(ready);
    } else {
      shared_.files.insert(shared_.files.end(),
                           std::make_move_iterator(ready.begin()),
                           std::make_move_iterator(ready.end()));
    }
    if (ended) {
      shared_.ended = true;
      shared_.status = status;
      shared_.error = std::move(error);
      ended_ = true;
    }
    shown_ = true;
    wake = !woken_;
    woken_ = true;
    changed_.notify_all();
  }
  ready.clear();
  if (wake && wake_) {
    wake_();
  }
}

LoadUpdate DiffLoad::Take() {
  std::lock_guard lock(mutex_);
  LoadUpdate update = std::move(shared_);
  shared_ = LoadUpdate();
  woken_ = false;
  return update;
}

template <typename Done>
void DiffLoad::Wait(Clock::time_point deadline, Done done) {
  std::unique_lock lock(mutex_);
  woken_ = true;
  if (deadline == Clock::time_point::max()) {
    changed_.wait(lock, done);
  } else {
    changed_.wait_until(lock, deadline, done);
  }
}

void DiffLoad::WaitForEnd() {
  WaitForEnd(Clock::time_point::max());
}

void DiffLoad::WaitForEnd(Clock::time_point deadline) {
  Wait(deadline, [this] { return ended_; });
}

void DiffLoad::WaitForFirst() {
  Wait(Clock::time_point::max(), [this] { return shown_ || ended_; });
}

std::string DiffLoad::WaitForFirstLine() {
  Wait(Clock::time_point::max(),
       [this] { return first_line_.has_value() || ended_; });
  std::lock_guard lock(mutex_);
  return first_line_.value_or(std::string());
}

namespace {

void Append(LoadedFile loaded, const FileLists& lists) {
  lists.names.push_back(FileEntry(loaded.part.file));
  lists.files.push_back(std::move(loaded.part.file));
  lists.split_rows.push_back(std::move(loaded.split_rows));
  lists.render_caches.emplace_back();
}

// Joins a part to the last file: the hunk it goes on with is counted
// again, its other hunks came counted.
void Join(LoadedFile loaded, const FileLists& lists) {
  File& file = lists.files.back();
  std::vector<int>& rows = lists.split_rows.back();
  const std::size_t joined = file.hunks.size() - 1;
  auto counted = loaded.split_rows.begin();
  if (JoinPart(file, std::move(loaded.part))) {
    rows[joined] = SplitRowCount(file.hunks[joined]);
    ++counted;
  }
  rows.insert(rows.end(), counted, loaded.split_rows.end());
  lists.names.back() = FileEntry(file);
  lists.render_caches.back() = RenderCache();
}

}  // namespace

void TakeFiles(LoadUpdate& update, const FileLists& lists) {
  for (LoadedFile& loaded : update.files) {
    if (loaded.part.joins && !lists.files.empty()) {
      Join(std::move(loaded), lists);
    } else {
      Append(std::move(loaded), lists);
    }
  }
}

}  // namespace plimsy
