#include "fake_dialog.h"

#include "settings/settings_file.h"

WarningRecord Warnings;

int DialogCheckState(DialogHandle dialog, int id) {
  const auto* fake = static_cast<const FakeDialog*>(dialog);
  return id == kColorBoxId ? fake->colorState : id == kHanBoxId ? fake->hanState : -1;
}

void ShowWarningBox(DialogHandle dialog, const char16_t* text, const char16_t* caption) {
  ++Warnings.count;
  Warnings.owner = dialog;
  Warnings.text = text;
  Warnings.caption = caption;
}
