// Orbidial.scr's entry point: settings first, then the screen-saver host's
// command line decides between the options dialog, a preview and full screen.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include "resources/resource.h"
#include "settings/about_dialog_win32.h"
#include "settings/settings_file.h"
#include "shell/clock_window.h"
#include "shell/clock_window_win32.h"
#include "shell/command_line.h"
#include "shell/monitor_faces.h"

namespace {

// For the end-to-end tests only: ORBIDIAL_TEST_TIME="YYYY-MM-DD HH:MM:SS"
// stops the clock at that local instant so screenshots can be compared. The
// form is plain ASCII; anything wider is no instant.
void ApplyTestOverrides() {
  const wchar_t* at = _wgetenv(L"ORBIDIAL_TEST_TIME");
  if (at == nullptr || at[0] == 0) return;
  std::string text;
  for (; *at != 0; ++at) {
    if (*at > 0x7F) return;
    text.push_back(static_cast<char>(*at));
  }
  FreezeClockAt(text);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
  const SaverOptions options = ReadSettings();
  ClockLook.ColorByWeekday = options.ColorByWeekday;
  ClockLook.NumeralStyle = options.NumeralStyle;
  ApplyTestOverrides();
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
      // The dialog takes the module and the options from its initialisation
      // parameter; the process keeps the same handle as in the other modes.
      Instance = instance;
      const AboutDialogStart start{instance, options};
      DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_ABOUTBOX), owner, AboutDialogProc,
                      reinterpret_cast<LPARAM>(&start));
      return 0;
    }
    case StartMode::kPreview:
      ClockPlacement = WindowPlacement::kPreview;
      break;
    default:
      break;
  }
  return RunClockWindow(instance);
}
