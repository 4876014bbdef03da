#include "objects/ScriptLoader.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "app/Startup.h"
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "engine/McycleIo.h"
#include "hmi/hmi.h"
#include "objects/OBJCMD.h"
#include "params/CtrlCmd.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

namespace {

constexpr const char kCantOpen[] = "Can't open File";
// Enough of a line to compile it or to know that it is too long: the longest
// allowed line, its CR, and one character more.
constexpr size_t kKeepPerLine = OBJCMD_MAX_LINE + 2;
// A file without errors has at most 65535 lines of at most kKeepPerLine
// characters and a line end; beyond that an error has been reported already
// and the rest is not read (a device without end, say, or a huge binary).
constexpr uint64_t kMaxScriptBytes = 65536ULL * (kKeepPerLine + 1);
constexpr size_t kChunk = 64 * 1024;
// Error lines shown in the message log at most (its queue holds 100).
constexpr int kMaxShownErrors = 20;

// Cuts the file into lines, feeds them to the interpreter and keeps the first
// failure. A line is compiled as soon as it is known to be too long; the rest
// of it up to its line end is skipped.
class ScriptCompiler {
 public:
  ScriptCompiler(bool stopAtFirstError, std::string& reply) : stop_(stopAtFirstError), reply_(reply) {}

  // Takes the next bytes of the file; false once loading is to stop.
  bool Feed(const char* bytes, size_t n) {
    for (size_t i = 0; i < n; ++i) {
      if (bytes[i] == '\n') {
        const bool skipped = skipping_;
        skipping_ = false;
        pending_ = false;
        if (!skipped && !CompileLine()) return false;
      } else if (!skipping_) {
        line_.push_back(bytes[i]);
        pending_ = true;
        if (line_.size() == kKeepPerLine) {
          skipping_ = true;
          if (!CompileLine()) return false;
        }
      }
    }
    return true;
  }
  // The last line, when the file does not end with a line end.
  void Finish() {
    if (pending_ && !skipping_) CompileLine();
  }
  uint8_t Result() const { return result_; }

 private:
  bool CompileLine() {
    // Past the line limit nothing more can compile.
    const bool lastLine = sScrContainer.uwLineCount == 0xFFFF;
    if (!line_.empty() && line_.back() == '\r') line_.pop_back();
    std::string lineReply;
    const uint8_t r = ObjCmdInterpreter(line_, lineReply, true);
    line_.clear();
    if (r == OBJCMD_OK) return true;
    if (result_ == SCRIPT_LOAD_OK) result_ = r;
    if (!reply_.empty()) reply_ += '\n';
    reply_ += lineReply;
    return !stop_ && !lastLine;
  }

  bool stop_;
  std::string& reply_;
  std::string line_;
  bool pending_ = false;
  bool skipping_ = false;
  uint8_t result_ = SCRIPT_LOAD_OK;
};

}  // namespace

uint8_t McycleCompileScriptFile(const std::string& path, bool stopAtFirstError, std::string& reply) {
  reply.clear();
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) {
    reply = kCantOpen;
    return SCRIPT_LOAD_OPEN_FAILED;
  }
  ObjCmdScriptReset();
  ScriptCompiler compiler(stopAtFirstError, reply);
  std::unique_ptr<char[]> chunk(new char[kChunk]);
  bool go = true;
  bool first = true;
  uint64_t total = 0;
  size_t n = 0;
  while (go && total <= kMaxScriptBytes && (n = std::fread(chunk.get(), 1, kChunk, file.get())) > 0) {
    total += n;
    size_t skip = 0;
    if (first && n >= 3 && static_cast<unsigned char>(chunk[0]) == 0xEF &&
        static_cast<unsigned char>(chunk[1]) == 0xBB && static_cast<unsigned char>(chunk[2]) == 0xBF)
      skip = 3;
    first = false;
    go = compiler.Feed(chunk.get() + skip, n - skip);
  }
  uint8_t result = compiler.Result();
  if (std::ferror(file.get())) {  // a folder, or a failing device
    reply = kCantOpen;
    result = SCRIPT_LOAD_OPEN_FAILED;
  } else if (go && total <= kMaxScriptBytes) {
    compiler.Finish();
    result = compiler.Result();
  }
  if (result != SCRIPT_LOAD_OK) {
    ObjCmdScriptReset();
    ubMcFlag2 &= static_cast<uint8_t>(~MC_FLAG2_SCRIPT_REWIND);
  }
  return result;
}

bool McycleScriptContainerBusy() {
  const uint16_t state = uwMcycleState;
  return (state != 0 && (state >> 8) != (MC_STATE_IDLE >> 8)) || ubMcSignalQueueCounter != 0;
}

uint8_t McycleLoadScriptFile(bool stopAtFirstError) {
  if (ubCqDataChannel == 0) {
    McycleSay("Target not connected!\n");
    return SCRIPT_LOAD_NO_LINK;
  }
  std::string path;
  if (!PanelFileSelectPopup("", "*.pms", "*.pms;*.scr", "Select Scripfile", false, path)) return SCRIPT_LOAD_CANCELLED;
  // Checked after the dialog: the engine went on while it was open.
  if (McycleScriptContainerBusy()) {
    McycleLog("Script not loaded: an operation is running");
    return SCRIPT_LOAD_BUSY;
  }
  std::string reply;
  const uint8_t result = McycleCompileScriptFile(path, stopAtFirstError, reply);
  if (result != SCRIPT_LOAD_OK) {
    size_t start = 0;
    int shown = 0;
    for (; start <= reply.size() && shown < kMaxShownErrors; ++shown) {
      const size_t end = std::min(reply.find('\n', start), reply.size());
      McycleLog(reply.substr(start, end - start).c_str());
      start = end + 1;
    }
    if (start <= reply.size()) {
      const auto more = std::count(reply.begin() + static_cast<std::ptrdiff_t>(start), reply.end(), '\n') + 1;
      McycleLogf("... and %ld more errors", static_cast<long>(more));
    }
    return result;
  }
  if (sScrContainer.uwNumOfEntries > 0) McycleSignalQueuePut(MC_SIG_SCRIPT);
  return SCRIPT_LOAD_OK;
}
