// libFuzzer target for the INI text rules: any bytes read without fault, and
// a value once set reads back and is not changed by setting it again.
// Run by scripts/fuzz.sh.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/profile_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // Key names as the program uses them; a name holding '=' or starting with
  // '[' cannot be written as a key at all.
  static constexpr std::string_view kKeys[] = {"Han", "Color", "hAN", "a b", "Color", "Han"};
  static constexpr std::string_view kValues[] = {"0", "1", "2", "-7", ""};
  const std::string_view key = kKeys[data[0] % 6];
  const std::string_view value = kValues[(data[0] / 6) % 5];
  const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);

  ReadProfileInt(text, "Setting", key, 1);
  const std::string updated = SetProfileValue(text, "Setting", key, value);
  if (ReadProfileInt(updated, "Setting", key, 12345) != ParseProfileInt(value)) std::abort();
  if (SetProfileValue(updated, "Setting", key, value) != updated) std::abort();
  return 0;
}
