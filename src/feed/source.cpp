#include "feed/source.h"

#include <unistd.h>

#include <utility>

#include "git/run.h"

namespace plimsy {

FeedSource FeedSource::Git(const std::vector<std::string>& args) {
  FeedSource source;
  // The stream cannot move: it is made in place.
  source.stream_.reset(new Stream(GitStream(args)));
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
