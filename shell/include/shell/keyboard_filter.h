// The rule of the system-key filter: which key events the saver withholds
// from the desktop while it runs (Alt+Tab, Alt+Esc, Ctrl+Esc and the two
// Super keys). Each back end names its key events in the words below and
// feeds them through it.
#pragma once

// The keys the rule and the clock window look at; every other is `kOther`.
enum class KeyName { kOther, kTab, kEscape, kLeftSuper, kRightSuper };

// A key pressed or released, with the modifiers that matter.
struct KeyEvent {
  KeyName key = KeyName::kOther;
  bool press = true;     // false: the key's release
  bool alt = false;      // the Alt state the event carries
  bool control = false;  // whether Control is down as the event happens
};

// True when the key event must be swallowed. Presses and releases are
// treated alike.
bool FilterSwallowsKey(const KeyEvent& event);

// The rule applied to a stream of key events: a release is also swallowed
// when its press was, so Ctrl+Esc stays swallowed when Control comes up
// before Escape. Keeps which keys are down swallowed.
bool FilterSwallowsKeyStroke(const KeyEvent& event);
