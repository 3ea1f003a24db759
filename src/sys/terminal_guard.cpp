#include "sys/terminal_guard.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string_view>

#include "sys/child_registry.h"
#include "sys/fd.h"

namespace plimsy {
namespace {

constexpr int kEndingSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGPIPE};

// Undoes the modes the UI library sets for a full screen, in the reverse
// order of setting them: the mouse reports, line wrapping (switched off),
// the alternate screen, the hidden cursor.
constexpr std::string_view kRestoreModes =
    "\x1b[?1006l\x1b[?1015l\x1b[?1003l\x1b[?1000l"
    "\x1b[?7h\x1b[?1049l\x1b[?25h";

// Read by the ending, which runs while the loop's thread is held still.
std::atomic<bool> screen_open{false};
std::atomic<bool> park_requested{false};
std::atomic<bool> loop_thread_parked{false};
pthread_t loop_thread;
termios saved_modes;
bool modes_saved = false;

int ParkSignal() {
  return SIGRTMIN;
}

// Holds the loop's thread still until the program ends, so that it draws
// nothing after the terminal has been restored. The same signal sent from
// elsewhere is ignored.
void Park(int) {
  if (!park_requested.load() || !pthread_equal(pthread_self(), loop_thread)) {
    return;
  }
  loop_thread_parked.store(true);
  sigset_t all;
  sigfillset(&all);
  while (true) {
    sigsuspend(&all);
  }
}

[[noreturn]] void EndProgram(int signal, int key_fd) {
  constexpr int kParkWaitMs = 500;
  constexpr int kChildWaitMs = 1000;
  park_requested.store(true);
  pthread_kill(loop_thread, ParkSignal());
  for (int waited = 0; !loop_thread_parked.load() && waited < kParkWaitMs;
       ++waited) {
    SleepMilliseconds(1);
  }
  EndTrackedChildren();
  ReapTrackedChildren(kChildWaitMs);
  // A job stopped and sent to the background has restored the terminal
  // already, and it is no longer ours to change.
  if (tcgetpgrp(key_fd) == getpgrp()) {
    if (screen_open.load()) {
      WriteAll(STDOUT_FILENO, kRestoreModes);
    }
    if (modes_saved) {
      tcsetattr(key_fd, TCSANOW, &saved_modes);
    }
  }
  // SIGQUIT would leave a core file behind; its status is enough.
  if (signal != SIGQUIT) {
    struct sigaction default_action = {};
    default_action.sa_handler = SIG_DFL;
    sigaction(signal, &default_action, nullptr);
    sigset_t just_this;
    sigemptyset(&just_this);
    sigaddset(&just_this, signal);
    pthread_sigmask(SIG_UNBLOCK, &just_this, nullptr);
    raise(signal);
  }
  _exit(128 + signal);
}

}  // namespace

TerminalGuard::TerminalGuard(int key_fd) : key_fd_(key_fd) {
  loop_thread = pthread_self();
  park_requested.store(false);
  loop_thread_parked.store(false);
  modes_saved = tcgetattr(key_fd, &saved_modes) == 0;

  sigset_t ending;
  sigset_t watched;
  sigemptyset(&ending);
  sigemptyset(&watched);
  for (int signal : kEndingSignals) {
    sigaddset(&ending, signal);
    struct sigaction current = {};
    sigaction(signal, nullptr, &current);
    if ((current.sa_flags & SA_SIGINFO) != 0 || current.sa_handler != SIG_IGN) {
      sigaddset(&watched, signal);
    }
  }
  pthread_sigmask(SIG_BLOCK, &ending, &previous_mask_);
  signal_fd_ = signalfd(-1, &watched, SFD_CLOEXEC);

  int wake[2];
  if (pipe2(wake, O_CLOEXEC) == 0) {
    wake_read_ = wake[0];
    wake_write_ = wake[1];
  }

  struct sigaction park = {};
  park.sa_handler = Park;
  sigfillset(&park.sa_mask);
  sigaction(ParkSignal(), &park, &previous_park_);

  watcher_ = std::thread([this] { Watch(); });
}

TerminalGuard::~TerminalGuard() {
  screen_open.store(false);
  if (wake_write_ >= 0) {
    WriteAll(wake_write_, "x");
  }
  watcher_.join();
  for (int fd : {signal_fd_, wake_read_, wake_write_}) {
    if (fd >= 0) {
      close(fd);
    }
  }
  sigaction(ParkSignal(), &previous_park_, nullptr);
  pthread_sigmask(SIG_SETMASK, &previous_mask_, nullptr);
}

void TerminalGuard::SetScreenOpen(bool open) {
  screen_open.store(open);
}

void TerminalGuard::Watch() {
  pollfd fds[] = {
      {signal_fd_, POLLIN, 0},
      {wake_read_, POLLIN, 0},
      // Only hang-ups and errors are reported for these.
      {key_fd_, 0, 0},
      {STDOUT_FILENO, 0, 0},
  };
  while (true) {
    if (poll(fds, std::size(fds), -1) < 0) {
      if (errno == EINTR) {
        continue;
      }
      return;
    }
    if (fds[1].revents != 0) {
      return;
    }
    if ((fds[0].revents & POLLIN) != 0) {
      signalfd_siginfo info;
      if (read(signal_fd_, &info, sizeof(info)) == sizeof(info)) {
        EndProgram(static_cast<int>(info.ssi_signo), key_fd_);
      }
    }
    for (const pollfd& terminal : {fds[2], fds[3]}) {
      if ((terminal.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
        EndProgram(SIGHUP, key_fd_);
      }
    }
  }
}

}  // namespace plimsy
