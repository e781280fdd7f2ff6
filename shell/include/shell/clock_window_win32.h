// The clock window on Windows: class, window, message loop, the frame timer
// and the GDI back buffer, feeding the shared handlers of clock_window.h.
#pragma once

#include <windows.h>

#include <vector>

// Loads the title and class name, registers the class, creates the window
// and runs the message loop. Returns the quit message's wParam, or 0 when
// the window cannot be created.
int RunClockWindow(HINSTANCE instance);

void RegisterClockClass(HINSTANCE instance);
// 1 when the window was created (and shown, top-most, with the key filter
// installed in full screen), 0 otherwise.
int CreateClockWindow(HINSTANCE instance);
LRESULT CALLBACK ClockWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The module's instance handle, stored by the clock window and by the
// options dialog.
extern HINSTANCE Instance;

// The monitors' rectangles in the process's own pixels (it is aware of each
// monitor's DPI), the primary first. Full screen shows a face on each, read
// at the start and again on every change of the displays. The tests put in
// monitors of their own.
std::vector<RECT> ReadDisplayMonitors();
extern std::vector<RECT> (*MonitorAreas)();
