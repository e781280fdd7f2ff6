// The two persistent settings, the colour-theme switch and the starting
// numeral style, in the user's settings store (settings_platform.h).
#pragma once

#include <cstdint>

inline constexpr const char16_t* kSettingsSection = u"Setting";
inline constexpr const char16_t* kColorKey = u"Color";
inline constexpr const char16_t* kHanKey = u"Han";
inline constexpr const char16_t* kSettingsFileName = u"OrbDial.ini";

inline constexpr const char16_t* kSaveWarningCaption = u"Orbidial";
inline constexpr const char16_t* kSaveWarningText =
    u"变色设置保存错误。\n请确认是否具有写入权限，尝试用管理员模式运行程序。";

// The options the user sets in the dialog: non-zero when the themes follow
// the weekday, and the numeral style the saver starts in (face/numerals.h).
// As read they are the stored values; as saved, the dialog's check-box states
// (0 clear, 1 ticked, 2 indeterminate).
struct SaverOptions {
  int ColorByWeekday = 1;
  std::int16_t NumeralStyle = 1;
};

// The stored options, with the default 1 for anything missing (everything,
// when there is no store).
SaverOptions ReadSettings();

// Stores `options`, "Color" then "Han". Returns 1 when they were stored, 0
// when not (no store, or the write failed); the dialog then shows
// kSaveWarningText once.
int SaveSettings(const SaverOptions& options);
