#ifndef PLIMSY_SYS_CHILD_REGISTRY_H_
#define PLIMSY_SYS_CHILD_REGISTRY_H_

#include <signal.h>
#include <sys/types.h>

// The child processes that must not outlive this program when a signal ends
// it. Every function may be called from a signal handler or from any thread.
namespace plimsy {

// Records a running child. Returns false when the registry is full; the
// child then runs untracked.
bool TrackChild(pid_t pid);

// Waits until the child has exited, without reaping it, then drops it from
// the registry. The caller reaps it afterwards, so its process id cannot be
// reused by another process while it is still tracked.
void ForgetChildOnExit(pid_t pid);

// Sends SIGTERM to every tracked child (git then removes its lock files).
void EndTrackedChildren();

// Waits up to `timeout_ms` for the tracked children to exit, reaping them,
// then kills those still running. For a program about to end.
void ReapTrackedChildren(int timeout_ms);

// Blocks every signal on the calling thread for its life, so that a child
// started under it is tracked before any signal can be acted on.
class SignalsHeld {
 public:
  SignalsHeld();
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;
  ~SignalsHeld();

 private:
  sigset_t previous_;
};

}  // namespace plimsy

#endif  // PLIMSY_SYS_CHILD_REGISTRY_H_
