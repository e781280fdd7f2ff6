// A raster surface saved as a PNG file.
#pragma once

#include <string>

#include "face/raster_surface.h"

// Writes the surface as an 8-bit RGB PNG. The file appears whole or not at
// all, and an older file of that name stays until then. On failure `error`
// says why.
bool WritePng(const RasterSurface& surface, const std::string& path, std::string* error);
