// Writes the default profiles of every device kind into a folder (default: resources/DefaultData
// of the source tree). Run it after changing the factory tables; a test compares the files.
#include <cstdio>
#include <filesystem>
#include <string>

#include "profiles/default_profiles.h"

int main(int argc, char** argv) {
  std::string folder = argc > 1 ? argv[1] : BRIMVEX_SOURCE_DIR "/resources/DefaultData";
  if (folder.back() != '/') folder += '/';
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (!brimvex::profiles::WriteDefaultProfiles(folder)) {
    std::fprintf(stderr, "could not write the default profiles into %s\n", folder.c_str());
    return 1;
  }
  std::printf("default profiles written into %s\n", folder.c_str());
  return 0;
}
