#ifndef PLIMSY_SYS_FD_H_
#define PLIMSY_SYS_FD_H_

#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace plimsy {

// Owns one file descriptor.
class Fd {
 public:
  Fd() = default;
  explicit Fd(int fd) : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Fd& operator=(Fd&& other) noexcept {
    if (this != &other) {
      Reset();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  ~Fd() { Reset(); }

  int get() const { return fd_; }
  int Release() { return std::exchange(fd_, -1); }
  void Reset();

 private:
  int fd_ = -1;
};

// Writes all of `text` to `fd`; false once the reader has gone.
// Async-signal-safe.
bool WriteAll(int fd, std::string_view text);

// Sleeps for `ms` milliseconds, however many signals arrive meanwhile.
// Async-signal-safe.
void SleepMilliseconds(long ms);

enum class ReadResult { kData, kEnded, kStopped, kTimedOut };

// A second descriptor that a read keeps from filling up while it waits:
// `serve` is called whenever `fd` is readable and returns the descriptor
// to watch from then on, -1 once there is none.
struct SideRead {
  int fd = -1;
  std::function<int()> serve;
};

// Waits until `fd` has more and appends what one read gives to `out`
// (kData), or until it ends (kEnded). Gives up after `timeout_ms` (no limit
// when negative), and returns kStopped, without reading, as soon as
// `stop_fd` (when not negative) is readable.
ReadResult ReadDescriptor(int fd,
                          std::string& out,
                          int stop_fd,
                          int timeout_ms,
                          const SideRead& side = {});

}  // namespace plimsy

#endif  // PLIMSY_SYS_FD_H_
