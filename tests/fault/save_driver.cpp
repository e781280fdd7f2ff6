// settings-save COLOR HAN: SaveSettings as the options dialog's OK runs it,
// with the two boxes in the given states, for the fault tests. Prints
// "warnings N", the warning boxes the dialog shows for it (one when the save
// fails), and exits with 0 when it saved, 1 when not.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "settings/settings_file.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fputs("usage: settings-save COLOR HAN\n", stderr);
    return 2;
  }
  SaverOptions options;
  options.ColorByWeekday = std::atoi(argv[1]);
  options.NumeralStyle = static_cast<std::int16_t>(std::atoi(argv[2]));
  const int saved = SaveSettings(options);
  std::printf("warnings %d\n", saved == 1 ? 0 : 1);
  return saved == 1 ? 0 : 1;
}
