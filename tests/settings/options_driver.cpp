// orbidial-options: the options dialog alone, as `orbidial /c` runs it, for
// the end-to-end tests: reads the settings, runs the dialog, and exits with
// the dialog's end code (1 OK, 2 cancel).
//   orbidial-options [--launcher PROGRAM] [--icon FILE] [OWNER-XID]
#include <cstdlib>
#include <cstring>

#include "settings/about_dialog_gtk.h"
#include "settings/link_launch_posix.h"
#include "settings/settings_file.h"

int main(int argc, char** argv) {
  unsigned long owner = 0;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--launcher") == 0 && i + 1 < argc) {
      LinkLauncher = argv[++i];
    } else if (std::strcmp(argv[i], "--icon") == 0 && i + 1 < argc) {
      AboutIconFile = argv[++i];
    } else {
      owner = std::strtoul(argv[i], nullptr, 0);
    }
  }
  return RunOptionsDialog(ReadSettings(), owner);
}
