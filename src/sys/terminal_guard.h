#ifndef PLIMSY_SYS_TERMINAL_GUARD_H_
#define PLIMSY_SYS_TERMINAL_GUARD_H_

#include <signal.h>
#include <termios.h>

#include <thread>

namespace plimsy {

// Keeps the terminal safe while a full-screen loop runs on the thread that
// creates the guard, which must be the only one drawing.
//
// SIGHUP, SIGINT, SIGQUIT, SIGTERM and SIGPIPE are blocked on that thread
// and on every thread it starts from now on (the UI library's own), so the
// library's handlers never see them; a watcher thread reads them instead,
// and also notices the terminal hanging up. Then it stops the loop's thread
// where it stands, ends the tracked git children, writes the sequences that
// undo the screen's modes, restores the terminal's settings as they were
// when the guard was made, and ends the program as the signal would
// (129 for a hang-up). Signals that were ignored when the guard was made
// stay ignored.
class TerminalGuard {
 public:
  // `key_fd` is the terminal the keys are read from.
  explicit TerminalGuard(int key_fd);
  TerminalGuard(const TerminalGuard&) = delete;
  TerminalGuard& operator=(const TerminalGuard&) = delete;
  // Stops watching. A signal that arrived meanwhile is acted on as usual once
  // unblocked.
  ~TerminalGuard();

  // Whether the screen's modes are set, so that an ending must undo them.
  void SetScreenOpen(bool open);

 private:
  void Watch();

  int key_fd_;
  int signal_fd_ = -1;
  int wake_read_ = -1;
  int wake_write_ = -1;
  sigset_t previous_mask_;
  struct sigaction previous_park_;
  std::thread watcher_;
};

}  // namespace plimsy

#endif  // PLIMSY_SYS_TERMINAL_GUARD_H_
