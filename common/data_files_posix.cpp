#include "common/data_files.h"

#include <cstdlib>

std::string DataFolder() {
  const char* test = std::getenv("ORBIDIAL_TEST_DATADIR");
  if (test != nullptr && test[0] != '\0') return test;
  return ORBIDIAL_DATADIR;
}

std::string DataFile(const char* relative) { return DataFolder() + "/" + relative; }
