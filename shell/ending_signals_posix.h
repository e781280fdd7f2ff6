// SIGTERM (how xscreensaver and the session end a saver), SIGINT and SIGHUP
// end the saver with status 0 whatever it is doing: main blocks them before
// anything else, so one that comes while the fonts load or the display opens
// waits, and each event loop reads them from a signal descriptor as data.
#pragma once

#include <signal.h>
#include <sys/signalfd.h>

inline sigset_t EndingSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGHUP);
  return signals;
}

// Blocks the ending signals for the whole process (the saver has one thread
// of its own; the toolkit's threads inherit the mask).
inline void BlockEndingSignals() {
  const sigset_t signals = EndingSignals();
  sigprocmask(SIG_BLOCK, &signals, nullptr);
}

// A descriptor that becomes readable when an ending signal is pending
// (one that came before is pending already), or -1.
inline int OpenEndingSignalFd() {
  const sigset_t signals = EndingSignals();
  return signalfd(-1, &signals, SFD_CLOEXEC | SFD_NONBLOCK);
}
