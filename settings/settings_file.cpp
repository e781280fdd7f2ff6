#include "settings/settings_file.h"

#include "face/numerals.h"
#include "settings/settings_platform.h"

SaverOptions ReadSettings() {
  SaverOptions options;
  options.ColorByWeekday = ReadStoredInt(kColorKey, 1);
  options.NumeralStyle = StoredNumeralStyle(ReadStoredInt(kHanKey, 1));
  return options;
}

int SaveSettings(const SaverOptions& options) {
  return WriteStoredValues({{kColorKey, options.ColorByWeekday}, {kHanKey, options.NumeralStyle}});
}
