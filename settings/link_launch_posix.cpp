#include "settings/link_launch_posix.h"

#include <spawn.h>
#include <sys/wait.h>

#include <csignal>
#include <string>
#include <vector>

#include "common/utf_conversion.h"
#include "common/wide_format.h"
#include "settings/settings_platform.h"

extern char** environ;

const char* LinkLauncher = "xdg-open";
void (*LinkProcessStarted)(pid_t process) = nullptr;

namespace {
std::vector<pid_t> RunningLaunchers;
}

int ReapLinkProcesses() {
  std::erase_if(RunningLaunchers, [](pid_t process) {
    int status;
    return waitpid(process, &status, WNOHANG) != 0;
  });
  return static_cast<int>(RunningLaunchers.size());
}

// The launcher is run directly, the address its one argument.
std::u16string LinkCommandFor(const std::u16string& address) { return address; }

int StartLinkProcess(const char16_t* commandLine) {
  ReapLinkProcesses();
  std::string launcher = LinkLauncher;
  std::string address = Utf16ToUtf8(commandLine, WideLength(commandLine));
  char* argv[] = {launcher.data(), address.data(), nullptr};

  // The launcher starts with a clean signal state, whatever the toolkit has
  // blocked or ignored in this process.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t signals;
  sigemptyset(&signals);
  posix_spawnattr_setsigmask(&attributes, &signals);
  sigaddset(&signals, SIGPIPE);
  sigaddset(&signals, SIGCHLD);
  posix_spawnattr_setsigdefault(&attributes, &signals);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  pid_t process = 0;
  const int result = posix_spawnp(&process, launcher.c_str(), nullptr, &attributes, argv, environ);
  posix_spawnattr_destroy(&attributes);
  if (result != 0) return 0;
  if (LinkProcessStarted != nullptr) {
    LinkProcessStarted(process);
  } else {
    RunningLaunchers.push_back(process);
  }
  return 1;
}
