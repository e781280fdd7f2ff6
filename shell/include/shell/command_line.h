// The saver's command line: the screen-saver host's forms (/s, /p N, /c:N,
// the first run of digits being the window), and on Linux first the forms
// with which xscreensaver starts a hack.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "shell/clock_window.h"

enum class StartMode {
  kFullScreen,  // cover the screen; a left click or Escape ends it
  kPreview,     // a child window inside `window`
  kOptions,     // the options dialog, owned by `window`
  kHostWindow,  // draw straight into `window`, as an xscreensaver hack
  kHostRoot,    // draw straight into the screen's root window
};

struct StartRequest {
  StartMode mode = StartMode::kFullScreen;
  WindowHandle window = 0;  // becomes `ParentWindow`
};

// The largest window number the digits can give. Like a 32-bit `wcstol`, a
// longer run of digits saturates here instead of wrapping; no window has
// that number, so such a preview ends quietly.
inline constexpr WindowHandle kMaxWindowNumber = 2147483647;

// The host's rules over the whole command line (the arguments after the
// program name, as one text).
StartRequest ParseCommandLine(std::u16string_view line);

// The arguments (UTF-8) joined by single spaces into one UTF-16 text, as the
// host would pass them.
std::u16string JoinArguments(const std::vector<std::string>& args);

// xscreensaver's forms: "--window-id ID" / "-window-id ID" (also "=ID"),
// then `environmentWindow` (XSCREENSAVER_WINDOW, may be null), then "--root"
// / "-root". IDs are hexadecimal with 0x or decimal; an unreadable one gives
// window 0, which nothing can draw into. False when no form is present.
bool ParseHostArguments(const std::vector<std::string>& args, const char* environmentWindow,
                        StartRequest* request);

// A whole text as an X window id: "0x" and hex digits, or decimal digits,
// at most 32 bits. False for anything else.
bool ParseWindowId(std::string_view text, WindowHandle* id);
