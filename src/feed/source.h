#ifndef PLIMSY_FEED_SOURCE_H_
#define PLIMSY_FEED_SOURCE_H_

#include <memory>
#include <string>
#include <vector>

#include "sys/fd.h"
#include "sys/process.h"

namespace plimsy {

// Where a feed's text comes from: a git child's standard output, or a
// descriptor such as standard input. Owned by the feed's thread once the
// feed starts.
class FeedSource {
 public:
  // Starts git with `args` (without "git"), as GitStream does. Throws
  // SpawnError when git cannot be started.
  static FeedSource Git(const std::vector<std::string>& args);
  // Reads descriptor `fd`, which the source owns and closes, after `head`,
  // the part of its text already read from it.
  static FeedSource Descriptor(std::string head, int fd);

  FeedSource(FeedSource&&) noexcept;
  FeedSource& operator=(FeedSource&&) noexcept;
  ~FeedSource();

  // The text read before the source was made, once.
  std::string TakeHead();

  // Appends what arrives to `out`, waiting at most `timeout_ms` (no limit
  // when negative); kStopped as soon as `stop_fd` is readable.
  ReadResult ReadSome(std::string& out, int stop_fd, int timeout_ms);

  // Once the text has ended: git's exit status and standard error (0 and
  // nothing for a descriptor). The child is reaped.
  int End(std::string& error);

  // Ends git if it still runs and reaps it; closes the descriptor.
  void Close();

  pid_t pid() const { return stream_ ? stream_->pid() : -1; }

 private:
  FeedSource() = default;

  std::unique_ptr<Stream> stream_;
  int fd_ = -1;
  std::string head_;
};

}  // namespace plimsy

#endif  // PLIMSY_FEED_SOURCE_H_
