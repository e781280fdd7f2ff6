// Starting the dialog's link on POSIX: the launcher run directly with
// posix_spawnp (no shell), and its ending collected so no zombie stays.
#pragma once

#include <sys/types.h>

// The program that opens an address with the user's preferred application.
extern const char* LinkLauncher;

// When set, each started launcher's process id is handed over to it (the
// GTK dialog adds a child watch); otherwise the ids are kept and collected by
// ReapLinkProcesses.
extern void (*LinkProcessStarted)(pid_t process);

// Collects the kept launchers that have ended; returns how many still run.
int ReapLinkProcesses();
