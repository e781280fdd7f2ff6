// What the settings logic and the options dialog ask of the platform: a
// store of keys and integer values, and a way to open the dialog's link. The
// logic calls only these; each platform supplies them in files named by its
// suffix (_posix, _win32).
#pragma once

#include <initializer_list>
#include <string>

// The store's place: the file "OrbDial.ini" of the user's settings folder,
// its values in the section "Setting". Empty when the platform has no place
// for it (then reads give the defaults and writes fail).
std::u16string SettingsFilePath();

// The integer stored for `key`, or `defaultValue` when there is no store or
// no such key.
int ReadStoredInt(const char16_t* key, int defaultValue);

// A key and the value to store for it.
struct StoredValue {
  const char16_t* key;
  int value;
};
// Stores each value under its key in the order given, keeping every other
// key. Returns 1 when they were stored, 0 when they were not (then POSIX has
// stored none of them; Windows reports the last key's write alone, as a
// folder that refuses one write refuses all).
int WriteStoredValues(std::initializer_list<StoredValue> values);

// The command that opens the dialog's link at `address`.
std::u16string LinkCommandFor(const std::u16string& address);

// Starts the program that opens the dialog's link, without waiting for it.
// Returns 1 when it was started, 0 otherwise.
int StartLinkProcess(const char16_t* commandLine);
