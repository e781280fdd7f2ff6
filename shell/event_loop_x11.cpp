#include "event_loop_x11.h"

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

#include "ending_signals_posix.h"
#include "shell/clock_window.h"
#include "x_errors_x11.h"

namespace {

bool QuitPosted = false;
int QuitCode = 0;

struct Deadline {
  bool armed = false;
  timespec at{};
};
Deadline Timer;
Deadline Later;
void (*LaterCall)() = nullptr;

void Arm(Deadline& deadline, int milliseconds) {
  clock_gettime(CLOCK_MONOTONIC, &deadline.at);
  deadline.at.tv_sec += milliseconds / 1000;
  deadline.at.tv_nsec += static_cast<long>(milliseconds % 1000) * 1000000L;
  if (deadline.at.tv_nsec >= 1000000000L) {
    deadline.at.tv_sec += 1;
    deadline.at.tv_nsec -= 1000000000L;
  }
  deadline.armed = true;
}

long long MillisecondsUntil(const timespec& deadline) {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const long long nanoseconds = (static_cast<long long>(deadline.tv_sec) - now.tv_sec) * 1000000000LL +
                                (static_cast<long long>(deadline.tv_nsec) - now.tv_nsec);
  // Rounded up, so the wait never ends just before the deadline and spins.
  return nanoseconds <= 0 ? 0 : (nanoseconds + 999999) / 1000000;
}

// Runs what is due and returns the wait until the next deadline (-1: none).
int RunDue() {
  if (Later.armed && MillisecondsUntil(Later.at) == 0) {
    Later.armed = false;
    if (LaterCall != nullptr) LaterCall();
  }
  if (Timer.armed && MillisecondsUntil(Timer.at) == 0) {
    Timer.armed = false;
    ClockTimerTick();
  }
  long long wait = -1;
  for (const Deadline* deadline : {&Timer, &Later}) {
    if (!deadline->armed) continue;
    const long long until = MillisecondsUntil(deadline->at);
    if (wait < 0 || until < wait) wait = until;
  }
  return static_cast<int>(wait);
}

}  // namespace

int OpenSignalFd() {
  BlockEndingSignals();
  const int fd = OpenEndingSignalFd();
  if (fd < 0) {
    // No descriptor: the signals end the process as they would by default.
    const sigset_t signals = EndingSignals();
    sigprocmask(SIG_UNBLOCK, &signals, nullptr);
  }
  return fd;
}

int RunEventLoop(Display* display, int signalFd, void (*handle)(XEvent& event), void (*afterEvents)()) {
  const int connection = ConnectionNumber(display);
  // Whether the connection may have something to read: a read that finds
  // nothing is a system call each time the timer wakes the loop.
  bool readable = true;
  while (!QuitPosted) {
    while (!QuitPosted && XEventsQueued(display, readable ? QueuedAfterReading : QueuedAlready) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      handle(event);
    }
    if (QuitPosted) break;
    afterEvents();
    ReportXErrors();
    if (QuitPosted) break;
    const int timeout = RunDue();
    // Events read while drawing are in the queue; the rest wake the poll.
    XFlush(display);
    if (timeout == 0 || XEventsQueued(display, QueuedAlready) > 0) {
      readable = true;
      continue;
    }
    pollfd fds[2] = {{connection, POLLIN, 0}, {signalFd, POLLIN, 0}};
    const int ready = poll(fds, signalFd >= 0 ? 2 : 1, timeout);
    if (ready < 0 && errno != EINTR) break;
    readable = ready != 0;
    if (signalFd >= 0 && (fds[1].revents & POLLIN) != 0) {
      signalfd_siginfo info{};
      while (read(signalFd, &info, sizeof info) > 0) {
      }
      ClockShutdown();
    }
  }
  ReportXErrors();
  return QuitCode;
}

void CallLater(int milliseconds, void (*what)()) {
  LaterCall = what;
  Arm(Later, milliseconds);
}

long long MonotonicMilliseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// ---- The timer and the quit of the X11 back end -----------------------------

void ArmClockTimer(int milliseconds) { Arm(Timer, milliseconds); }

void StopClockTimer() {
  Timer.armed = false;
  Later.armed = false;
}

void PostQuit(int code) {
  QuitPosted = true;
  QuitCode = code;
}
