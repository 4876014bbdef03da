// For harnesses of readers that take a path: the input goes to one private
// temporary file per process and name ending, rewritten for every run.
#pragma once
#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

// Writes the input to the process's file whose name ends in `suffix` (a
// reader may choose by it) and returns its path; aborts when the file cannot
// be written, which no input should hide.
inline const std::string& FuzzInputFile(const uint8_t* data, size_t size, const std::string& suffix = "") {
  static std::map<std::string, std::string> paths;
  std::string& path = paths[suffix];
  if (path.empty()) {
    std::string name = "/tmp/strokedesk-fuzz.XXXXXX" + suffix;
    const int fd = mkstemps(name.data(), static_cast<int>(suffix.size()));
    if (fd < 0) std::abort();
    close(fd);
    path = name;
  }
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) std::abort();
  if (size && std::fwrite(data, 1, size, file) != size) std::abort();
  if (std::fclose(file) != 0) std::abort();
  return path;
}
