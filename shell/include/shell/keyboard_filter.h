// The rule of the system-key filter: which keyboard messages the saver
// withholds from the desktop while it runs (Alt+Tab, Alt+Esc, Ctrl+Esc and
// the two Windows/Super keys). Each platform feeds its key events through it.
#pragma once

// Keyboard messages, with the values the Windows hook receives.
inline constexpr unsigned kKeyDownMessage = 256;
inline constexpr unsigned kKeyUpMessage = 257;
inline constexpr unsigned kSysKeyDownMessage = 260;
inline constexpr unsigned kSysKeyUpMessage = 261;

// Virtual-key codes the rule and the clock window look at.
inline constexpr unsigned kTabKey = 9;
inline constexpr unsigned kEscapeKey = 27;
inline constexpr unsigned kLeftWindowsKey = 91;
inline constexpr unsigned kRightWindowsKey = 92;

// True when the key event must be swallowed: `altFlag` is the Alt state the
// event carries, `controlHeld` whether Control is down as the event happens.
// Presses and releases are treated alike; messages other than the four key
// messages always pass.
bool FilterSwallowsKey(unsigned message, unsigned virtualKey, bool altFlag, bool controlHeld);

// The rule applied to a stream of key events: a release is also swallowed
// when its press was, so Ctrl+Esc stays swallowed when Control comes up
// before Escape. Keeps which keys are down swallowed.
bool FilterSwallowsKeyStroke(unsigned message, unsigned virtualKey, bool altFlag, bool controlHeld);
