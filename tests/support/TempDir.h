// A private folder for the files of one test, removed with them at the end.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

class TempDir {
 public:
  TempDir() {
    std::string pattern = testing::TempDir() + "scriptXXXXXX";
    path_ = mkdtemp(pattern.data()) ? pattern : "";
  }
  // Removes the folder with everything in it.
  ~TempDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  // Writes `content` as file `name` in the folder; its path.
  std::string Write(const std::string& name, const std::string& content) {
    const std::string file = Add(name);
    std::ofstream(file, std::ios::binary) << content;
    return file;
  }
  // A path in the folder (the file not made).
  std::string Add(const std::string& name) { return path_ + "/" + name; }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// The whole content of a file ("" when it cannot be read).
inline std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
