// settings-save COLOR HAN: SaveSettings as the options dialog's OK runs it,
// with the two boxes in the given states, for the fault tests. Prints
// "warnings N" (the warning boxes shown) and exits with SaveSettings' result.
#include <cstdio>
#include <cstdlib>

#include "fake_dialog.h"
#include "settings/settings_file.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: settings-save COLOR HAN\n", stderr);
    return 2;
  }
  FakeDialog dialog;
  dialog.colorState = std::atoi(argv[1]);
  dialog.hanState = std::atoi(argv[2]);
  const int saved = SaveSettings(&dialog);
  std::printf("warnings %d\n", Warnings.count);
  return saved == 1 ? 0 : 1;
}
