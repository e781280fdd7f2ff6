// The two persistent settings, the colour-theme switch and the starting
// numeral style, in the INI file "OrbDial.ini" of the user's
// application-data folder.
#pragma once

#include <cstddef>
#include <cstdint>

#include "settings/settings_platform.h"

// The platform's path limit, in UTF-16 units including the terminator.
inline constexpr std::size_t kMaxPath = 260;

inline constexpr const char16_t* kSettingsSection = u"Setting";
inline constexpr const char16_t* kColorKey = u"Color";
inline constexpr const char16_t* kHanKey = u"Han";
inline constexpr const char16_t* kSettingsBaseName = u"OrbDial";
inline constexpr const char16_t* kSettingsExtension = u".ini";

// The options dialog's check boxes for "Color" and "Han".
inline constexpr int kColorBoxId = 1002;
inline constexpr int kHanBoxId = 1003;

inline constexpr const char16_t* kSaveWarningCaption = u"Orbidial";
inline constexpr const char16_t* kSaveWarningText =
    u"变色设置保存错误。\n请确认是否具有写入权限，尝试用管理员模式运行程序。";

// The settings file's path, afresh: the application-data folder, one
// separator and "OrbDial.ini". When there is no such folder or the whole
// path would not fit: "." as the folder where kCurrentFolderFallback says so,
// else no path at all (empty, and 0 returned). Returns 1 with a path.
int ComputeSettingsPath(char16_t (&path)[kMaxPath]);

// The two settings as read: non-zero when the themes follow the weekday, and
// the numeral style the saver starts in (face/numerals.h).
extern int ColorByWeekday;
extern std::int16_t NumeralStyle;

// Loads `ColorByWeekday` and `NumeralStyle` from the file, with the default 1
// for anything missing (the whole file, when there is no path). Always
// returns 1.
int ReadSettings();

// Writes the states of the dialog's two check boxes. Returns 1 when "Han" was
// written; otherwise (no path, or the write failed) shows the warning box
// once and returns 0.
int SaveSettings(DialogHandle dialog);
