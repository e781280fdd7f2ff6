// The About/options dialog apart from any window system: its template, its
// texts, the link's hot rectangle and cursor, the check boxes' states, and
// the link launch. The platform's dialog shows it and feeds it mouse points.
#pragma once

#include <cstddef>
#include <string>

#include "common/color.h"
#include "common/geometry.h"

// The program's file version, the project's four numbers as the build gives
// them; empty until ReadFileVersion.
inline constexpr std::size_t kVersionTextSize = 50;
extern char16_t VersionText[kVersionTextSize];

// Fills `VersionText` from the build's version. Returns 1, or 0 when the
// version is not four dot-separated numbers of 0..65535 (then `VersionText`
// keeps what it held).
int ReadFileVersion();
// The four parts of a version text; 1 when it is well formed.
int ParseFileVersion(const char* text, unsigned (&parts)[4]);

// The dialog template's places, in dialog units (the Windows build keeps the
// same template, with its control numbers, in its resources).
struct DialogItem {
  int x, y, width, height;
};
inline constexpr int kDialogWidth = 176;
inline constexpr int kDialogHeight = 90;
// How the dialog ends: OK or a cancel.
inline constexpr int kOkId = 1;
inline constexpr int kCancelId = 2;
inline constexpr DialogItem kVersionLineItem{56, 6, 82, 10};
inline constexpr DialogItem kCreditLineItem{56, 19, 82, 10};
inline constexpr DialogItem kWebAddressLineItem{56, 43, 82, 10};
inline constexpr DialogItem kContactLineItem{56, 31, 82, 10};
inline constexpr DialogItem kColorBoxItem{18, 69, 26, 10};
inline constexpr DialogItem kOkButtonItem{117, 66, 47, 17};
inline constexpr DialogItem kHanBoxItem{58, 69, 39, 10};

// Dialog units to pixels with the dialog font's base units, rounded as the
// Windows dialog manager rounds them: x × baseX / 4, y × baseY / 8.
inline constexpr int kDialogBaseUnitX = 7;
inline constexpr int kDialogBaseUnitY = 15;
int DialogUnitsToPixelsX(int units);
int DialogUnitsToPixelsY(int units);

inline constexpr const char16_t* kDialogCaption = u"关于";
inline constexpr const char16_t* kColorBoxText = u"变色";
inline constexpr const char16_t* kHanBoxText = u"默认汉字";
inline constexpr const char16_t* kOkButtonText = u"确定";

// The texts of the four lines and the link's command, composed at
// initialisation. Each is as long as its text needs: nothing is cut.
extern std::u16string VersionLine;
extern std::u16string CreditLine;
extern std::u16string ContactLine;
extern std::u16string WebAddressLine;
extern std::u16string LinkCommandLine;

// The dialog's dots per inch. The pixel positions here (the link's
// rectangle, the icon, the separator) are those of a 96-dpi display and grow
// with the dialog's DPI, as its controls in dialog units do. GTK counts in
// pixels it scales itself, so there it stays 96.
inline constexpr int kBaseDpi = 96;
extern int DialogDpi;
// `pixels` of a 96-dpi dialog at `DialogDpi`, rounded to the nearest.
int ScaleForDialog(int pixels);

// The link's hot rectangle in client pixels. It stays where the template's
// line stands at the usual font; it does not follow the line.
extern Rect LinkRect;
// Sets `LinkRect` for `DialogDpi`: 95, 75, 265, 90 at 96 dpi.
void PlaceLink();
// 1 while the dialog shows the hand over the link.
extern int HandCursorShown;

inline constexpr ColorRef kLinkColor = 0x00FF0000;       // blue
inline constexpr ColorRef kSeparatorColor = 0x00C8C8C8;  // RGB 200, 200, 200
// The icon's top-left corner and size in client pixels at 96 dpi.
inline constexpr int kIconX = 15;
inline constexpr int kIconY = 15;
inline constexpr int kIconSize = 64;
// The separator runs from (0, y) to (x, y), ending at the client edge when
// the dialog is narrower.
int SeparatorY();
int SeparatorEndX();

// Initialisation: reads the file version, composes every text, places
// `LinkRect` for `DialogDpi`.
void ComposeDialogTexts();

// Whether the client point (x, y) lies strictly inside `LinkRect`.
bool IsOnLink(int x, int y);

enum class CursorChange { Keep, ToHand, ToArrow };
// A mouse move to (x, y): the hand over the link; the arrow once on leaving
// it.
CursorChange TrackLinkCursor(int x, int y);

// A left click at (x, y): launches the link when the point is on it.
// Returns 1 when a launcher was started.
int ClickLink(int x, int y);

// The check boxes: 2 states for "变色", 3 for "默认汉字".
inline constexpr int kTwoStateMax = 1;
inline constexpr int kThreeStateMax = 2;
// A click: clear -> ticked (-> indeterminate) -> clear.
int NextCheckState(int state, int maxState);
// The state a stored value shows: 0 clear, up to `maxState` itself, any
// other value (negative ones too, seen unsigned) the box's last state.
int InitialCheckState(long long stored, int maxState);
