// The clock font's two faces looked up through fontconfig, once per process,
// before any raster surface draws text.
#pragma once

#include <string>

// Resolves the two faces of the clock font ("微软雅黑" and "楷体") through
// fontconfig with our alias file, once per process. On failure returns false
// and says in `error` which face is missing and which package provides it.
bool LoadClockFaces(std::string* error);

// After a failed `LoadClockFaces`: true when a font was there but the memory
// to load it was not (the error says so), rather than a font missing.
bool ClockFacesLackedMemory();

// After `LoadClockFaces`: the font standing in for the face name `face`, as
// "file#index (family style)"; empty before.
std::string ClockFaceSource(const char16_t* face);
