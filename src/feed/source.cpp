#include "feed/source.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "git.h"

namespace plimsy {
namespace {

using ReadResult = FeedSource::ReadResult;

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

}  // namespace

FeedSource FeedSource::Git(const std::vector<std::string>& args) {
  FeedSource source;
  // The stream cannot move: it is made in place.
  source.stream_.reset(new subprocess::Stream(GitStream(args)));
  return source;
}

FeedSource FeedSource::Descriptor(std::string head, int fd) {
  FeedSource source;
  source.fd_ = fd;
  source.head_ = std::move(head);
  return source;
}

FeedSource::FeedSource(FeedSource&& other) noexcept
    : stream_(std::move(other.stream_)),
      fd_(std::exchange(other.fd_, -1)),
      head_(std::move(other.head_)) {}

FeedSource& FeedSource::operator=(FeedSource&& other) noexcept {
  if (this != &other) {
    Close();
    stream_ = std::move(other.stream_);
    fd_ = std::exchange(other.fd_, -1);
    head_ = std::move(other.head_);
  }
  return *this;
}

FeedSource::~FeedSource() {
  Close();
}

std::string FeedSource::TakeHead() {
  return std::exchange(head_, std::string());
}

ReadResult FeedSource::ReadSome(std::string& out, int stop_fd, int timeout_ms) {
  if (stream_) {
    return stream_->ReadSome(out, stop_fd, timeout_ms);
  }
  return ReadDescriptor(fd_, out, stop_fd, timeout_ms);
}

int FeedSource::End(std::string& error) {
  if (!stream_) {
    return 0;
  }
  const int status = stream_->Wait();
  error = stream_->error();
  return status;
}

void FeedSource::Close() {
  if (stream_) {
    stream_->Close();
  }
  if (fd_ >= 0) {
    close(fd_);
    fd_ = -1;
  }
}

}  // namespace plimsy
