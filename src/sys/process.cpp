#include "sys/process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>
#include <utility>

#include "sys/child_registry.h"
#include "sys/fd.h"

extern char** environ;

namespace plimsy {
namespace {

// The standard error a Stream keeps.
constexpr std::size_t kErrorLimit = 64 * 1024;

struct Pipe {
  Fd read;
  Fd write;
};

Pipe MakePipe() {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    throw SpawnError(std::string("pipe: ") + std::strerror(errno));
  }
  return {Fd(fds[0]), Fd(fds[1])};
}

// posix_spawn's attribute and file-action records, released on every path.
class SpawnSetup {
 public:
  SpawnSetup() {
    posix_spawn_file_actions_init(&actions_);
    posix_spawnattr_init(&attributes_);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;
  ~SpawnSetup() {
    posix_spawnattr_destroy(&attributes_);
    posix_spawn_file_actions_destroy(&actions_);
  }

  posix_spawn_file_actions_t* actions() { return &actions_; }
  posix_spawnattr_t* attributes() { return &attributes_; }

 private:
  posix_spawn_file_actions_t actions_;
  posix_spawnattr_t attributes_;
};

// Wires the child's descriptor `target` as `option` asks. Returns the
// parent's end of a pipe for a captured output stream.
Fd WireStream(SpawnSetup& setup,
              std::vector<Fd>& child_ends,
              int target,
              PipeOption option) {
  switch (option) {
    case PipeOption::kInherit:
      return Fd();
    case PipeOption::kClose:
      posix_spawn_file_actions_addopen(setup.actions(), target, "/dev/null",
                                       target == 0 ? O_RDONLY : O_WRONLY, 0);
      return Fd();
    case PipeOption::kPipe: {
      Pipe pipe = MakePipe();
      if (target == 0) {
        // Nothing is ever written: the child reads end-of-file.
        posix_spawn_file_actions_adddup2(setup.actions(), pipe.read.get(), 0);
        child_ends.push_back(std::move(pipe.read));
        return Fd();
      }
      posix_spawn_file_actions_adddup2(setup.actions(), pipe.write.get(),
                                       target);
      child_ends.push_back(std::move(pipe.write));
      return std::move(pipe.read);
    }
  }
  return Fd();
}

// Reads both captured streams together until both reach end-of-file, so
// that the child never blocks on a full pipe.
void Drain(Fd& out, std::string& out_text, Fd& err, std::string& err_text) {
  char buffer[65536];
  while (out.get() >= 0 || err.get() >= 0) {
    pollfd fds[2] = {{out.get(), POLLIN, 0}, {err.get(), POLLIN, 0}};
    if (poll(fds, 2, -1) < 0) {
      if (errno == EINTR) {
        continue;
      }
      break;
    }
    Fd* streams[2] = {&out, &err};
    std::string* texts[2] = {&out_text, &err_text};
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) {
        continue;
      }
      ssize_t n = read(fds[i].fd, buffer, sizeof(buffer));
      if (n > 0) {
        texts[i]->append(buffer, static_cast<size_t>(n));
      } else if (n == 0 || errno != EINTR) {
        streams[i]->Reset();
      }
    }
  }
}

int WaitFor(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) {
      return -1;
    }
  }
  if (WIFSIGNALED(status)) {
    return 128 + WTERMSIG(status);
  }
  return WEXITSTATUS(status);
}

// Starts the program with its streams wired as `setup` says. The child is
// tracked before any signal can be acted on, so that a signal that ends
// this process ends it too. Throws SpawnError when it cannot start.
pid_t Spawn(const std::vector<std::string>& args,
            const RunOptions& options,
            SpawnSetup& setup) {
  // Our own pipes are close-on-exec; this also keeps out whatever else the
  // process has open.
  posix_spawn_file_actions_addclosefrom_np(setup.actions(), 3);

  // The child starts with default signal handling and an empty mask, even
  // where this process ignores or blocks a signal (a terminal UI may).
  sigset_t defaults;
  sigfillset(&defaults);
  posix_spawnattr_setsigdefault(setup.attributes(), &defaults);
  sigset_t empty;
  sigemptyset(&empty);
  posix_spawnattr_setsigmask(setup.attributes(), &empty);
  posix_spawnattr_setflags(setup.attributes(),
                           POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

  std::vector<char*> argv;
  for (const std::string& arg : args) {
    argv.push_back(const_cast<char*>(arg.c_str()));
  }
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (const std::string& entry : options.env) {
    envp.push_back(const_cast<char*>(entry.c_str()));
  }
  envp.push_back(nullptr);

  pid_t pid = 0;
  int error = 0;
  {
    SignalsHeld held;
    error =
        posix_spawnp(&pid, argv[0], setup.actions(), setup.attributes(),
                     argv.data(), options.env.empty() ? environ : envp.data());
    if (error == 0) {
      TrackChild(pid);
    }
  }
  if (error != 0) {
    throw SpawnError(std::strerror(error));
  }
  return pid;
}

// Starts the program with its streams wired as `options` says, standard
// output as `out_option`. `out` and `err` get this process's ends of the
// output streams that are piped.
pid_t SpawnWired(const std::vector<std::string>& args,
                 const RunOptions& options,
                 PipeOption out_option,
                 Fd& out,
                 Fd& err) {
  if (args.empty()) {
    throw SpawnError("empty command line");
  }
  SpawnSetup setup;
  std::vector<Fd> child_ends;
  if (options.in_fd >= 0) {
    posix_spawn_file_actions_adddup2(setup.actions(), options.in_fd, 0);
  } else {
    WireStream(setup, child_ends, 0, options.in);
  }
  out = WireStream(setup, child_ends, 1, out_option);
  err = WireStream(setup, child_ends, 2, options.err);
  return Spawn(args, options, setup);
}

}  // namespace

CompletedProcess Run(const std::vector<std::string>& args,
                     const RunOptions& options) {
  Fd out;
  Fd err;
  const pid_t pid = SpawnWired(args, options, options.out, out, err);
  CompletedProcess result;
  Drain(out, result.out, err, result.err);
  result.status = WaitForChild(pid);
  return result;
}

pid_t StartChild(const std::vector<std::string>& args,
                 const RunOptions& options) {
  Fd out;
  Fd err;
  return SpawnWired(args, options, options.out, out, err);
}

int WaitForChild(pid_t pid) {
  ForgetChildOnExit(pid);
  return WaitFor(pid);
}

Stream::Stream(const std::vector<std::string>& args,
               const RunOptions& options) {
  Fd out;
  Fd err;
  pid_ = SpawnWired(args, options, PipeOption::kPipe, out, err);
  out_ = out.Release();
  err_ = err.Release();
}

Stream::~Stream() {
  Close();
}

int Stream::Close() {
  return Reap(true);
}

int Stream::Wait() {
  return Reap(out_ >= 0);
}

void Stream::CloseOutput() {
  if (out_ >= 0) {
    close(out_);
    out_ = -1;
  }
}

bool Stream::Read(std::string& out) {
  return ReadSome(out, -1, -1) == ReadResult::kData;
}

ReadResult Stream::ReadSome(std::string& out, int stop_fd, int timeout_ms) {
  if (out_ < 0) {
    return ReadResult::kEnded;
  }
  const ReadResult result =
      ReadDescriptor(out_, out, stop_fd, timeout_ms, {err_, [this] {
                                                        DrainError(false);
                                                        return err_;
                                                      }});
  if (result == ReadResult::kEnded) {
    CloseOutput();
  }
  return result;
}

// Reads what the child has written to its standard error: one piece, or
// everything up to its end. Beyond the limit the text is read and dropped.
void Stream::DrainError(bool until_end) {
  char buffer[65536];
  while (err_ >= 0) {
    ssize_t n = read(err_, buffer, sizeof(buffer));
    if (n > 0) {
      std::size_t keep =
          std::min(static_cast<std::size_t>(n),
                   kErrorLimit - std::min(kErrorLimit, error_.size()));
      error_.append(buffer, keep);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      close(err_);
      err_ = -1;
    }
    if (!until_end) {
      return;
    }
  }
}

int Stream::Reap(bool end_first) {
  if (reaped_) {
    return status_;
  }
  if (end_first) {
    CloseOutput();
    if (err_ >= 0) {
      close(err_);
      err_ = -1;
    }
    // Polled without reaping: the child stays tracked until it is gone.
    const auto exited = [this] {
      siginfo_t info{};
      return waitid(P_PID, static_cast<id_t>(pid_), &info,
                    WEXITED | WNOHANG | WNOWAIT) == 0 &&
             info.si_pid == pid_;
    };
    if (!exited()) {
      kill(pid_, SIGTERM);
      // A child that ignores SIGTERM gets a short grace, then SIGKILL.
      auto deadline =
          std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
      while (!exited() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
      if (!exited()) {
        kill(pid_, SIGKILL);
      }
    }
  } else {
    DrainError(true);
  }
  status_ = WaitForChild(pid_);
  reaped_ = true;
  return status_;
}

}  // namespace plimsy
