#include "settings/about_dialog.h"

#include "common/utf_conversion.h"
#include "common/wide_format.h"
#include "settings/settings_platform.h"

#ifndef ORBIDIAL_WEB_ADDRESS
#error "the build gives the link's address as ORBIDIAL_WEB_ADDRESS"
#endif

std::u16string VersionLine;
std::u16string CreditLine;
std::u16string ContactLine;
std::u16string WebAddressLine;
std::u16string LinkCommandLine;
Rect LinkRect;
int DialogDpi = kBaseDpi;
int HandCursorShown = 0;

namespace {

constexpr char16_t kIdeographicSpace = u'\u3000';
constexpr const char16_t* kCreditText = u"Orbidial 2026";
constexpr const char16_t* kContactText = u"反馈：见 README";

// Formats into a string as long as the text needs.
std::u16string Format(const char16_t* format, std::initializer_list<FormatArg> args) {
  std::u16string text(64, u'\0');
  for (;;) {
    const int n = FormatWideCount(text.data(), text.size(), format, args);
    if (n >= 0 && static_cast<std::size_t>(n) < text.size()) {
      text.resize(static_cast<std::size_t>(n));
      return text;
    }
    text.resize(text.size() * 2);
  }
}

// The address as it is handed to the launcher: the ideographic space that
// pads the shown line is layout, not part of the address, and a launcher
// given it would look for a file or page that does not exist.
std::u16string AddressOf(const std::u16string& line) {
  std::size_t end = line.size();
  while (end > 0 && (line[end - 1] == kIdeographicSpace || line[end - 1] == u' ')) --end;
  return line.substr(0, end);
}

}  // namespace

int DialogUnitsToPixelsX(int units) { return (units * kDialogBaseUnitX + 2) / 4; }
int DialogUnitsToPixelsY(int units) { return (units * kDialogBaseUnitY + 4) / 8; }

int ScaleForDialog(int pixels) {
  const long long scaled = static_cast<long long>(pixels) * DialogDpi;
  return static_cast<int>((scaled >= 0 ? scaled + kBaseDpi / 2 : scaled - kBaseDpi / 2) / kBaseDpi);
}

void PlaceLink() {
  LinkRect = Rect{ScaleForDialog(95), ScaleForDialog(75), ScaleForDialog(265), ScaleForDialog(90)};
}

int SeparatorY() { return LinkRect.bottom + ScaleForDialog(15); }
int SeparatorEndX() { return LinkRect.left + ScaleForDialog(500); }

void ComposeDialogTexts() {
  ReadFileVersion();
  const char16_t space[2] = {kIdeographicSpace, 0};
  VersionLine = Format(u"Orbidial V%s%s", {VersionText, space});
  CreditLine = kCreditText;
  ContactLine = kContactText;
  WebAddressLine = Utf8ToUtf16(ORBIDIAL_WEB_ADDRESS) + kIdeographicSpace;
  PlaceLink();
  LinkCommandLine = LinkCommandFor(AddressOf(WebAddressLine));
}

bool IsOnLink(int x, int y) {
  return LinkRect.left < x && x < LinkRect.right && LinkRect.top < y && y < LinkRect.bottom;
}

CursorChange TrackLinkCursor(int x, int y) {
  if (IsOnLink(x, y)) {
    HandCursorShown = 1;
    return CursorChange::ToHand;
  }
  if (HandCursorShown != 0) {
    HandCursorShown = 0;
    return CursorChange::ToArrow;
  }
  return CursorChange::Keep;
}

int ClickLink(int x, int y) {
  if (!IsOnLink(x, y)) return 0;
  return StartLinkProcess(LinkCommandLine.c_str());
}

int NextCheckState(int state, int maxState) { return state >= 0 && state < maxState ? state + 1 : 0; }

int InitialCheckState(long long stored, int maxState) {
  const unsigned long long value = static_cast<unsigned long long>(stored);
  return value <= static_cast<unsigned long long>(maxState) ? static_cast<int>(value) : maxState;
}
