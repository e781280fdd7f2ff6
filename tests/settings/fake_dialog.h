// A stand-in for the platform's dialog in the unit tests: check-box states
// to hand out and a record of the warning boxes shown.
#pragma once

#include <string>

#include "settings/settings_platform.h"

struct FakeDialog {
  int colorState = 0;
  int hanState = 0;
};

struct WarningRecord {
  int count = 0;
  DialogHandle owner = nullptr;
  std::u16string text;
  std::u16string caption;
};
extern WarningRecord Warnings;
