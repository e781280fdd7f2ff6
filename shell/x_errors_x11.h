// X protocol errors of the saver's connection. Requests whose failure is
// part of the plan (reading a window that may be gone, attaching shared
// memory over a remote connection) are bracketed and their errors kept for
// the caller; any other error is reported on stderr, each kind once.
#pragma once

#include <X11/Xlib.h>

#include <functional>

// Installs the handlers: protocol errors as above, and a lost connection
// ends the process with status 1 and one line.
void InstallXErrorHandlers(Display* display);

// Brackets requests whose failure must be known: errors before are reported
// or forgotten, and `CheckedFailed` waits for the server's verdict.
void BeginChecked();
bool CheckedFailed();

// Errors the host may cause at any moment, such as drawing into a window it
// has just destroyed: `expected(event)` true keeps such an error quiet.
void SetExpectedXErrors(std::function<bool(const XErrorEvent&)> expected);

// Writes the errors met since the last call, one line for each kind (which
// request, which error) never written before. Called from the event loop,
// since the error handler itself may not talk to the server.
void ReportXErrors();
