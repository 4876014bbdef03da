#include "support/ScriptRun.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/Mcycle.h"
#include "hmi/hmi.h"
#include "objects/OBJCMD.h"
#include "params/CtrlCmd.h"

::testing::AssertionResult StartScript(const std::vector<std::string>& lines) {
  ObjCmdScriptReset();
  std::string reply;
  for (const std::string& line : lines)
    if (ObjCmdInterpreter(line, reply) != OBJCMD_OK)
      return ::testing::AssertionFailure() << line << ": " << reply;
  McycleSignalQueuePut(MC_SIG_SCRIPT);
  return ::testing::AssertionSuccess();
}

bool ScriptActive() {
  return uwMcycleState != MC_STATE_IDLE || ubMcSignalQueueCounter != 0 || ubHiQueueCounter != 0 ||
         swStackPointer != 0;
}

ScriptTempDir::ScriptTempDir() {
  char templ[] = "/tmp/strokedesk-test-XXXXXX";
  if (mkdtemp(templ)) path_ = templ;
}

ScriptTempDir::~ScriptTempDir() {
  std::error_code ec;
  if (!path_.empty()) std::filesystem::remove_all(path_, ec);
}

std::vector<std::string> ScriptTempDir::Files() const {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(path_, ec)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
  return n;
}

namespace {
bool LikeAt(const std::string& text, size_t at, const std::string& pattern) {
  if (text.size() - at < pattern.size()) return false;
  for (size_t i = 0; i < pattern.size(); ++i) {
    const char c = text[at + i];
    if (pattern[i] == '#' ? (c < '0' || c > '9') : c != pattern[i]) return false;
  }
  return true;
}
}  // namespace

bool Like(const std::string& text, const std::string& pattern) {
  return text.size() == pattern.size() && LikeAt(text, 0, pattern);
}

bool ContainsLike(const std::string& text, const std::string& pattern) {
  for (size_t at = 0; at + pattern.size() <= text.size(); ++at)
    if (LikeAt(text, at, pattern)) return true;
  return false;
}
