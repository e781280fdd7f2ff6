// Where the programs find the files installed with them (the fontconfig
// aliases, the icon): under the install prefix's data folder only, or, for
// the tests, under the build tree's copy that ORBIDIAL_TEST_DATADIR names.
#pragma once

#include <string>

// The data folder: ORBIDIAL_TEST_DATADIR when set, else <prefix>/share.
std::string DataFolder();

// `relative` (such as "orbidial/orbidial-fonts.conf") inside DataFolder().
std::string DataFile(const char* relative);
