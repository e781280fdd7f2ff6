#include "settings/settings_file.h"

#include "face/numerals.h"
#include "settings/string_format.h"

int ColorByWeekday = 1;
std::int16_t NumeralStyle = 1;

int ComputeSettingsPath(char16_t (&path)[kMaxPath]) {
  const char16_t separator[2] = {kPathSeparator, 0};
  char16_t folder[kMaxPath] = {};
  if (GetAppDataFolder(folder, kMaxPath) == 1 &&
      StringCchPrintfW(path, kMaxPath, u"%s%s%s%s",
                       {folder, separator, kSettingsBaseName, kSettingsExtension}) == kSOk) {
    return 1;
  }
  path[0] = 0;
  if (!kCurrentFolderFallback) return 0;
  StringCchPrintfW(path, kMaxPath, u".%s%s%s", {separator, kSettingsBaseName, kSettingsExtension});
  return 1;
}

int ReadSettings() {
  char16_t path[kMaxPath];
  const bool found = ComputeSettingsPath(path) == 1;
  ColorByWeekday = found ? ProfileReadInt(kSettingsSection, kColorKey, 1, path) : 1;
  NumeralStyle = StoredNumeralStyle(found ? ProfileReadInt(kSettingsSection, kHanKey, 1, path) : 1);
  return 1;
}

int SaveSettings(DialogHandle dialog) {
  char16_t path[kMaxPath];
  if (ComputeSettingsPath(path) == 0) {
    ShowWarningBox(dialog, kSaveWarningText, kSaveWarningCaption);
    return 0;
  }
  char16_t color[16];
  char16_t han[16];
  StringCchPrintfW(color, 16, u"%d", {DialogCheckState(dialog, kColorBoxId)});
  StringCchPrintfW(han, 16, u"%d", {DialogCheckState(dialog, kHanBoxId)});
  // "Color", then "Han"; only the "Han" write decides the outcome: a folder
  // that refuses one write refuses both.
  const char16_t* const keys[2] = {kColorKey, kHanKey};
  const char16_t* const values[2] = {color, han};
  if (ProfileWriteStrings(kSettingsSection, keys, values, 2, path) == 0) {
    ShowWarningBox(dialog, kSaveWarningText, kSaveWarningCaption);
    return 0;
  }
  return 1;
}
