// INI text held in memory, read and updated with the rules of the Windows
// profile functions, on raw bytes: whatever a hand-edited file holds (CRLF,
// a UTF-8 byte-order mark, NUL bytes, binary garbage, very long lines, no
// final newline) is read without fault, and an update changes only the bytes
// of the one value it sets.
//
// Rules: a line's leading and trailing blanks do not count. "[name]" opens a
// section; "name=value" is a key. Section and key names match without regard
// to ASCII letter case, with blanks around them ignored. The first matching
// key of a matching section counts. A value in matching quotes loses them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The value of `key` in `section`, blanks and quotes removed; nothing when
// the section or the key is missing.
std::optional<std::string_view> FindProfileValue(std::string_view text, std::string_view section,
                                                 std::string_view key);

// A value as an integer: leading blanks, an optional sign, then decimal
// digits up to the first other character, wrapping modulo 2^32 like the
// platform's reader. A value without digits (empty, or text) reads as 0.
int ParseProfileInt(std::string_view value);

// `key` of `section` as an integer, or `defaultValue` when it is missing.
int ReadProfileInt(std::string_view text, std::string_view section, std::string_view key,
                   int defaultValue);

// `text` with `key` in `section` set to `value`: an existing value replaced
// in place; a missing key added at the end of the section; a missing section
// appended with the key. New lines end like the file's lines (CRLF or LF).
std::string SetProfileValue(std::string_view text, std::string_view section, std::string_view key,
                            std::string_view value);

// How a settings file's bytes hold its text. The program makes UTF-8 files;
// a file kept as UTF-16 with a byte-order mark (as Notepad saves one, and as
// the Windows build reads and keeps it) is read and written back as UTF-16.
enum class ProfileEncoding { kUtf8, kUtf16Le, kUtf16Be };

// The file's text as UTF-8 for the rules above, and how it was stored
// (`*encoding`): UTF-16 with a byte-order mark (FF FE or FE FF) is decoded,
// its mark becoming the UTF-8 one; anything else is taken as it is.
std::string DecodeProfileText(std::string_view bytes, ProfileEncoding* encoding);

// UTF-8 `text` stored as `encoding` (UTF-8 as it is).
std::string EncodeProfileText(std::string_view text, ProfileEncoding encoding);
