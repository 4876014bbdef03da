// Pieces the script tests share: starting a script as the command line and
// the loader do, telling when it is done, and a scratch folder for the files
// scripts write.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

// Compiles `lines` into a fresh script (every line must compile) and posts
// signal 5.
::testing::AssertionResult StartScript(const std::vector<std::string>& lines);
// True while a script (or anything it started) still has work: the engine is
// not idle, a signal or a log line waits, or a return state is stacked.
bool ScriptActive();

// A folder under /tmp, removed with everything in it when the object goes.
class ScriptTempDir {
 public:
  ScriptTempDir();
  ~ScriptTempDir();
  ScriptTempDir(const ScriptTempDir&) = delete;
  ScriptTempDir& operator=(const ScriptTempDir&) = delete;
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  // Names of the files in the folder, sorted.
  std::vector<std::string> Files() const;

 private:
  std::string path_;
};

// The whole content of a file ("" when it cannot be read).
std::string ReadFile(const std::string& path);
// The count of non-overlapping occurrences of `what` in `text`.
size_t Count(const std::string& text, const std::string& what);
// Whether `text` is `pattern`, where each '#' stands for one digit.
bool Like(const std::string& text, const std::string& pattern);
// Whether some part of `text` is like `pattern`.
bool ContainsLike(const std::string& text, const std::string& pattern);
