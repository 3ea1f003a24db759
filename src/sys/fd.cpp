#include "sys/fd.h"

#include <poll.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace plimsy {

void Fd::Reset() {
  if (fd_ >= 0) {
    close(fd_);
  }
  fd_ = -1;
}

bool WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t n = write(fd, text.data(), text.size());
    if (n < 0) {
      if (errno == EINTR) {
        continue;
      }
      return false;
    }
    text.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

void SleepMilliseconds(long ms) {
  timespec delay = {ms / 1000, ms % 1000 * 1000000L};
  while (nanosleep(&delay, &delay) < 0 && errno == EINTR) {
  }
}

ReadResult ReadDescriptor(int fd,
                          std::string& out,
                          int stop_fd,
                          int timeout_ms,
                          const SideRead& side) {
  char buffer[65536];
  const auto deadline = std::chrono::steady_clock::now() +
                        std::chrono::milliseconds(std::max(timeout_ms, 0));
  int side_fd = side.fd;
  while (true) {
    int wait = -1;
    if (timeout_ms >= 0) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      wait = static_cast<int>(
          std::max<std::chrono::milliseconds::rep>(left.count(), 0));
    }
    pollfd fds[3] = {
        {fd, POLLIN, 0}, {side_fd, POLLIN, 0}, {stop_fd, POLLIN, 0}};
    const int ready = poll(fds, 3, wait);
    if (ready < 0) {
      if (errno == EINTR) {
        continue;
      }
      return ReadResult::kEnded;
    }
    if (fds[2].revents != 0) {
      return ReadResult::kStopped;
    }
    if (ready == 0) {
      return ReadResult::kTimedOut;
    }
    if (fds[1].revents != 0) {
      side_fd = side.serve();
    }
    if (fds[0].revents == 0) {
      continue;
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

}  // namespace plimsy
