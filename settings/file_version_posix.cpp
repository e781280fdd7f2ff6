// The file version, from the build (Windows reads the same number from the
// program's version resource, in about_dialog_win32.cpp).
#include "common/wide_format.h"
#include "settings/about_dialog.h"

#ifndef ORBIDIAL_VERSION_TEXT
#error "the build gives the program's version as ORBIDIAL_VERSION_TEXT"
#endif

int ReadFileVersion() {
  unsigned parts[4];
  if (ParseFileVersion(ORBIDIAL_VERSION_TEXT, parts) == 0) return 0;
  FormatWide(VersionText, u"%u.%u.%u.%u", {parts[0], parts[1], parts[2], parts[3]});
  return 1;
}
