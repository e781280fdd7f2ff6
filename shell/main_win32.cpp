// Orbidial.scr's entry point: settings first, then the screen-saver host's
// command line decides between the options dialog, a preview and full screen.
#include <windows.h>

#include <string_view>

#include "resources/resource.h"
#include "settings/about_dialog_win32.h"
#include "settings/settings_file.h"
#include "shell/clock_window.h"
#include "shell/clock_window_win32.h"
#include "shell/command_line.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
  ReadSettings();
  const std::u16string_view line(
      commandLine != nullptr ? reinterpret_cast<const char16_t*>(commandLine) : u"");
  const StartRequest request = ParseCommandLine(line);
  ParentWindow = request.window;
  switch (request.mode) {
    case StartMode::kOptions: {
      // Windows refuses a dialog whose owner is no window, and the user would
      // see nothing: a stale or made-up number leaves the dialog unowned.
      HWND owner = reinterpret_cast<HWND>(ParentWindow);
      if (owner != nullptr && !IsWindow(owner)) owner = nullptr;
      // The dialog takes the module from its initialisation parameter; the
      // process keeps the same handle as in the other modes.
      Instance = instance;
      DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ABOUTBOX), owner, AboutDialogProc,
                      reinterpret_cast<LPARAM>(instance));
      return 0;
    }
    case StartMode::kPreview:
      PreviewMode = 1;
      break;
    default:
      break;
  }
  return RunClockWindow(instance);
}
