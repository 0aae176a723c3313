#include "platform/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

extern char** environ;

namespace relaybird {

namespace {

class TFd {
 public:
  explicit TFd(int Fd = -1) : FFd(Fd) {}
  ~TFd() { Reset(); }
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  int Get() const { return FFd; }
  void Reset() {
    if (FFd >= 0) close(FFd);
    FFd = -1;
  }

 private:
  int FFd;
};

class TSpawnActions {
 public:
  TSpawnActions() { posix_spawn_file_actions_init(&FActions); }
  ~TSpawnActions() { posix_spawn_file_actions_destroy(&FActions); }
  TSpawnActions(const TSpawnActions&) = delete;
  TSpawnActions& operator=(const TSpawnActions&) = delete;
  posix_spawn_file_actions_t* Get() { return &FActions; }

 private:
  posix_spawn_file_actions_t FActions;
};

std::vector<char*> Argv(std::vector<std::string>& Args) {
  std::vector<char*> Result;
  for (std::string& Arg : Args) Result.push_back(Arg.data());
  Result.push_back(nullptr);
  return Result;
}

int WaitStatus(pid_t Pid) {
  int Status = 0;
  while (waitpid(Pid, &Status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
}

}  // namespace

TProcessResult RunProcess(const std::vector<std::string>& Args, int TimeoutMs) noexcept {
  TProcessResult Result;
  try {
    if (Args.empty()) return Result;
    int Pipe[2];
    if (pipe2(Pipe, O_CLOEXEC) != 0) {
      Result.Error = std::strerror(errno);
      return Result;
    }
    TFd ReadEnd(Pipe[0]);
    TFd WriteEnd(Pipe[1]);
    TSpawnActions Actions;
    posix_spawn_file_actions_addopen(Actions.Get(), 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(Actions.Get(), WriteEnd.Get(), 1);
    posix_spawn_file_actions_addopen(Actions.Get(), 2, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> Copy = Args;
    std::vector<char*> Arguments = Argv(Copy);
    pid_t Pid = 0;
    const int Spawned = posix_spawnp(&Pid, Arguments[0], Actions.Get(), nullptr, Arguments.data(), environ);
    WriteEnd.Reset();
    if (Spawned != 0) {
      Result.Error = std::strerror(Spawned);
      return Result;
    }
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(TimeoutMs);
    char Buffer[4096];
    for (;;) {
      const auto Left = std::chrono::duration_cast<std::chrono::milliseconds>(Deadline - std::chrono::steady_clock::now());
      if (Left.count() <= 0) {
        Result.TimedOut = true;
        break;
      }
      pollfd Wait{ReadEnd.Get(), POLLIN, 0};
      const int Ready = poll(&Wait, 1, static_cast<int>(Left.count()));
      if (Ready < 0 && errno == EINTR) continue;
      if (Ready <= 0) continue;
      const ssize_t Read = read(ReadEnd.Get(), Buffer, sizeof Buffer);
      if (Read < 0 && errno == EINTR) continue;
      if (Read <= 0) break;
      Result.Output.append(Buffer, static_cast<std::size_t>(Read));
    }
    if (Result.TimedOut) {
      kill(Pid, SIGKILL);
      WaitStatus(Pid);
      return Result;
    }
    Result.ExitCode = WaitStatus(Pid);
  } catch (...) {
    Result.ExitCode = -1;
  }
  return Result;
}

bool StartDetached(const std::vector<std::string>& Args, std::string* Error) noexcept {
  try {
    if (Args.empty()) return false;
    // The shell starts the program in the background and ends at once; the
    // program then belongs to the system's reaper, not to this process.
    std::vector<std::string> Shell = {"/bin/sh", "-c", "\"$0\" \"$@\" </dev/null >/dev/null 2>&1 &"};
    Shell.insert(Shell.end(), Args.begin(), Args.end());
    std::vector<char*> Arguments = Argv(Shell);
    pid_t Pid = 0;
    const int Spawned = posix_spawn(&Pid, "/bin/sh", nullptr, nullptr, Arguments.data(), environ);
    if (Spawned != 0) {
      if (Error) *Error = std::strerror(Spawned);
      return false;
    }
    return WaitStatus(Pid) == 0;
  } catch (...) {
    return false;
  }
}

}  // namespace relaybird
