// For harnesses of readers that take a path: the input goes to one private
// temporary file per process, rewritten for every run.
#pragma once
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// Writes the input to the process's file and returns its path; aborts when
// the file cannot be written, which no input should hide.
inline const std::string& FuzzInputFile(const uint8_t* data, size_t size) {
  static const std::string path = [] {
    char name[] = "/tmp/strokedesk-fuzz.XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) std::abort();
    close(fd);
    return std::string(name);
  }();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) std::abort();
  if (size && std::fwrite(data, 1, size, file) != size) std::abort();
  if (std::fclose(file) != 0) std::abort();
  return path;
}
