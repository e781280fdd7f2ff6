// Colours as the themes give them.
#pragma once

#include <cstdint>

// A colour as 0x00BBGGRR: red in the lowest byte.
using ColorRef = std::uint32_t;
