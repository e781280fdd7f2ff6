// A local instant written as "YYYY-MM-DD HH:MM:SS", and the broken-down local
// times of the whole seconds counted on from it: how the headless renderer and
// a stopped clock name the instant they show.
#pragma once

#include <ctime>
#include <string_view>

// Parses "YYYY-MM-DD HH:MM:SS" (a year of 1 to 9 digits, a real date, seconds
// 0 to 60) into the local time fields as given. False for anything else.
bool ParseLocalInstant(std::string_view text, std::tm* out);

// Broken-down local time of frame `k` (0 for the first) counted from the
// instant in `at`: whole seconds later, a leap second 60 shown as given in the
// first frame only. False when the local-time conversion cannot take it.
bool FrameTime(const std::tm& at, long long k, std::tm* out);
