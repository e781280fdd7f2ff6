// Resolves the clock font's two Windows face names to installed fonts through
// fontconfig, once per process, and opens them with FreeType.
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "clock_faces.h"
#include "common/data_files.h"
#include "common/utf_conversion.h"
#include "common/wide_format.h"
#include "face/font_lookup.h"
#include "face/numerals.h"

namespace {

struct FaceRequest {
  const char16_t* windowsName;
  int windowsWeight;
  const char* package;  // the Debian package our alias file points at
};

constexpr FaceRequest kRequests[kClockFaceCount] = {
    {kArabicFace, kArabicWeight, "fonts-noto-cjk"},
    {kNumeralFace, kNumeralWeight, "fonts-arphic-gkai00mp"},
};

FT_Library Library = nullptr;
ClockFaceRecord Faces[kClockFaceCount];
bool Loaded = false;
std::string LoadError;
bool LoadLackedMemory = false;

bool FileExists(const char* path) {
  struct stat info;
  return stat(path, &info) == 0 && S_ISREG(info.st_mode);
}

// FreeType reports a font file it could neither map nor read into memory as
// one it cannot open. When the file is there and a mapping of it fails for
// lack of memory, the memory is what is missing, not the font.
bool LacksMemoryFor(const std::string& file) {
  const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info;
  bool lacking = false;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
    const auto size = static_cast<std::size_t>(info.st_size);
    void* mapped = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (mapped == MAP_FAILED) {
      lacking = errno == ENOMEM;
    } else {
      munmap(mapped, size);
    }
  }
  close(fd);
  return lacking;
}

std::string AliasFile() { return DataFile("orbidial/orbidial-fonts.conf"); }

// Our aliases go in first and the system configuration (with the user's
// files it includes) after them. Rules run in the order they were loaded, and
// ours append the Debian face right after the Windows name, so any rule of the
// user's for the same name runs later and lands ahead of ours, whether it
// prefers or accepts; only a <default> (append_last) stays behind ours, which
// is what a default means. Loaded the other way round, our rules would run
// last and override the user's.
FcConfig* BuildConfig(bool* aliasesLoaded) {
  FcConfig* config = FcConfigCreate();
  if (config == nullptr) return nullptr;
  const std::string aliases = AliasFile();
  *aliasesLoaded =
      FileExists(aliases.c_str()) &&
      FcConfigParseAndLoad(config, reinterpret_cast<const FcChar8*>(aliases.c_str()), FcTrue) == FcTrue;
  // Null names the default configuration (FONTCONFIG_FILE or fonts.conf).
  if (FcConfigParseAndLoad(config, nullptr, FcTrue) != FcTrue || FcConfigBuildFonts(config) != FcTrue) {
    FcConfigDestroy(config);
    return nullptr;
  }
  return config;
}

// Every character any text of the face can hold: digits, space and minus of
// the Arabic labels, both numeral tables, the unit and weekday words, and the
// minus word of a year before year 0.
std::u16string FaceCharacters() {
  std::u16string chars = u"0123456789 -年月日时点分秒星期天负";
  for (int i = 0; i <= 10; ++i) {
    chars += ChineseNumerals[i];
    chars += FormalNumerals[i];
  }
  return chars;
}

void SetGdiRatios(ClockFaceRecord* record) {
  FT_Face face = record->face;
  double ascent = 0, descent = 0;
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 != nullptr && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
    ascent = os2->usWinAscent;
    descent = os2->usWinDescent;
  } else {
    // No OS/2 table: the horizontal header is the next best cell.
    ascent = face->ascender;
    descent = -face->descender;
  }
  const double cell = ascent + descent;
  if (cell <= 0 || face->units_per_EM == 0) {
    record->emPerCell = 1.0;
    record->ascentPerCell = 0.8;
    return;
  }
  record->emPerCell = face->units_per_EM / cell;
  record->ascentPerCell = ascent / cell;
}

bool ResolveFace(FcConfig* config, ClockFaceId id, bool aliasesLoaded, std::string* error) {
  const FaceRequest& request = kRequests[id];
  const std::string name = Utf16ToUtf8(request.windowsName, WideLength(request.windowsName));
  const std::string missing =
      "no font for " + name + " (install " + request.package + ")";

  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(request.windowsWeight));
  FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(config, pattern, &result);
  FcPatternDestroy(pattern);

  FcChar8* file = nullptr;
  int index = 0;
  if (match == nullptr || FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch) {
    if (match != nullptr) FcPatternDestroy(match);
    *error = missing;
    return false;
  }
  FcPatternGetInteger(match, FC_INDEX, 0, &index);
  ClockFaceRecord& record = Faces[id];
  record.file = reinterpret_cast<const char*>(file);
  // The low 16 bits are the face in a collection; the rest names a variable
  // font's instance, which FreeType takes in the same argument.
  record.index = index;
  FcChar8* family = nullptr;
  FcChar8* style = nullptr;
  record.name.clear();
  if (FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch) {
    record.name = reinterpret_cast<const char*>(family);
  }
  if (FcPatternGetString(match, FC_STYLE, 0, &style) == FcResultMatch) {
    record.name += std::string(" ") + reinterpret_cast<const char*>(style);
  }
  FcPatternDestroy(match);

  const FT_Error opened = FT_New_Face(Library, record.file.c_str(), record.index, &record.face);
  if (opened != 0) {
    record.face = nullptr;
    LoadLackedMemory = opened == FT_Err_Out_Of_Memory || LacksMemoryFor(record.file);
    *error = LoadLackedMemory ? "not enough memory to load " + record.file + " for " + name
                              : "cannot open " + record.file + " for " + name;
    return false;
  }
  // Fontconfig always answers with some font; only one that has every
  // character of the face may stand in, or the face would show boxes.
  for (char16_t c : FaceCharacters()) {
    if (FT_Get_Char_Index(record.face, c) == 0) {
      // Without our aliases the Windows name meets some unrelated font.
      *error = aliasesLoaded ? missing : "no font for " + name + ": cannot read " + AliasFile();
      return false;
    }
  }
  SetGdiRatios(&record);
  return true;
}

void ReleaseFaces() {
  for (ClockFaceRecord& record : Faces) {
    if (record.face != nullptr) FT_Done_Face(record.face);
    record = ClockFaceRecord();
  }
}

}  // namespace

ClockFaceRecord* ClockFace(ClockFaceId id) {
  if (!Loaded || id < 0 || id >= kClockFaceCount) return nullptr;
  return &Faces[id];
}

ClockFaceId ClockFaceFor(const char16_t* faceName) {
  if (faceName == kNumeralFace) return kNumeralClockFace;
  if (faceName == kArabicFace || faceName == nullptr) return kArabicClockFace;
  return std::char_traits<char16_t>::compare(faceName, kNumeralFace, WideLength(kNumeralFace) + 1) == 0
             ? kNumeralClockFace
             : kArabicClockFace;
}

bool LoadClockFaces(std::string* error) {
  if (Loaded) return true;
  if (!LoadError.empty()) {
    *error = LoadError;
    return false;
  }
  if (Library == nullptr && FT_Init_FreeType(&Library) != 0) {
    Library = nullptr;
    *error = LoadError = "cannot start the FreeType library";
    return false;
  }
  bool aliasesLoaded = false;
  FcConfig* config = BuildConfig(&aliasesLoaded);
  if (config == nullptr) {
    *error = LoadError = "cannot load the fontconfig configuration";
    return false;
  }
  for (int id = 0; id < kClockFaceCount; ++id) {
    if (!ResolveFace(config, static_cast<ClockFaceId>(id), aliasesLoaded, &LoadError)) {
      FcConfigDestroy(config);
      ReleaseFaces();
      *error = LoadError;
      return false;
    }
  }
  FcConfigDestroy(config);
  Loaded = true;
  return true;
}

bool ClockFacesLackedMemory() { return LoadLackedMemory; }

std::string ClockFaceSource(const char16_t* face) {
  const ClockFaceRecord* record = ClockFace(ClockFaceFor(face));
  if (record == nullptr) return {};
  return record->file + "#" + std::to_string(record->index) + " (" + record->name + ")";
}
