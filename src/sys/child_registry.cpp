#include "sys/child_registry.h"

#include <pthread.h>
#include <sys/wait.h>

#include <atomic>
#include <cerrno>

#include "sys/fd.h"

namespace plimsy {
namespace {

// A signal handler may read the registry at any moment, so it is a fixed
// table of lock-free slots; 0 marks a free one.
constexpr int kSlots = 32;
std::atomic<pid_t> slots[kSlots];

static_assert(std::atomic<pid_t>::is_always_lock_free);

void Forget(pid_t pid) {
  for (std::atomic<pid_t>& slot : slots) {
    pid_t expected = pid;
    if (slot.compare_exchange_strong(expected, 0)) {
      return;
    }
  }
}

}  // namespace

bool TrackChild(pid_t pid) {
  for (std::atomic<pid_t>& slot : slots) {
    pid_t expected = 0;
    if (slot.compare_exchange_strong(expected, pid)) {
      return true;
    }
  }
  return false;
}

void ForgetChildOnExit(pid_t pid) {
  siginfo_t info;
  while (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) < 0 &&
         errno == EINTR) {
  }
  Forget(pid);
}

void EndTrackedChildren() {
  for (std::atomic<pid_t>& slot : slots) {
    pid_t pid = slot.load();
    if (pid > 0) {
      kill(pid, SIGTERM);
    }
  }
}

void ReapTrackedChildren(int timeout_ms) {
  constexpr int kStepMs = 5;
  for (int waited = 0;; waited += kStepMs) {
    bool running = false;
    for (std::atomic<pid_t>& slot : slots) {
      pid_t pid = slot.load();
      if (pid <= 0) {
        continue;
      }
      if (waitpid(pid, nullptr, WNOHANG) == 0) {
        running = true;
      } else {
        Forget(pid);
      }
    }
    if (!running) {
      return;
    }
    if (waited >= timeout_ms) {
      break;
    }
    SleepMilliseconds(kStepMs);
  }
  for (std::atomic<pid_t>& slot : slots) {
    pid_t pid = slot.exchange(0);
    if (pid > 0) {
      kill(pid, SIGKILL);
    }
  }
}

SignalsHeld::SignalsHeld() {
  sigset_t all;
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, &previous_);
}

SignalsHeld::~SignalsHeld() {
  pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

}  // namespace plimsy
