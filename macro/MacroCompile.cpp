// Assembly of a macro project: stamping, the include file, the assembler run
// as a child process (no shell, a time limit, the GUI kept alive) and what
// it leaves behind.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "app/Startup.h"
#include "macro/MacroSource.h"
#include "macro/macro.h"
#include "platform/ChildProcess.h"
#include "platform/FileUtil.h"
#include "platform/Paths.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

uint32_t udMacCompileLimitMs = 30000;

namespace {

constexpr const char* kIncludeFile = "norl_mac.inc";
constexpr const char* kCompileError = "ERROR: Macro compiling error!";
constexpr size_t kErrorShownMax = 256 * 1024;

std::string resourceDirectory;

std::string Join(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  return dir.back() == '/' ? dir + name : dir + "/" + name;
}

std::string Printf(const char* format, int value) {
  char line[96];
  std::snprintf(line, sizeof line, format, value);
  return line;
}

// STROKEDESK_NASM, else the nasm shipped with the program, else nasm on the
// PATH; "" with `why` naming every place looked in when there is none.
std::string Assembler(std::string& why) {
  if (const char* configured = std::getenv("STROKEDESK_NASM"); configured && *configured) return configured;
  const std::string shipped = MacroResourceFile("nasm", why);
  if (!shipped.empty() && access(shipped.c_str(), X_OK) == 0) return shipped;
  const char* env = std::getenv("PATH");
  const std::string path = env ? env : "";
  for (size_t start = 0; start < path.size();) {
    size_t end = path.find(':', start);
    if (end == std::string::npos) end = path.size();
    const std::string candidate = Join(path.substr(start, end - start), "nasm");
    if (end > start && access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  why = "assembler nasm not found on the PATH (" + (path.empty() ? std::string("empty") : path) + ") nor shipped: " +
        (shipped.empty() ? why : shipped + " is not executable");
  return "";
}

// The error file's text for the message box, at most kErrorShownMax bytes.
void ShowErrorFile(const std::string& text) {
  if (text.size() <= kErrorShownMax) {
    MacroMessage(text.back() == '\n' ? text : text + "\n");
    return;
  }
  std::string shown = text.substr(0, kErrorShownMax);
  MacroMessage(shown + "\n... error file cut after 256 KiB\n");
}

}  // namespace

void MacroSetTimeDate() {
  std::string text;
  PanelGetString(uwMcMacroPanelHandle, MACRO_TXT_EDITOR, text);
  const std::time_t now = std::time(nullptr);
  std::tm t{};
  localtime_r(&now, &t);
  const std::string stamped = MacroStampSource(text, t);
  if (stamped != text) PanelSetString(uwMcMacroPanelHandle, MACRO_TXT_EDITOR, stamped);
}

std::string MacroResourceFile(const std::string& name, std::string& why) {
  return ShippedFile(ShippedKind::Data, name, why, resourceDirectory.empty() ? ProgramDirectory() : resourceDirectory);
}
void MacroSetResourceDirectory(const std::string& dir) { resourceDirectory = dir; }

int MacroCopyIncFile(const std::string& dir) {
  const std::string target = Join(dir, kIncludeFile);
  struct stat st {};
  if (stat(target.c_str(), &st) == 0) return 0;
  if (errno != ENOENT) {
    MacroMessage(Printf("norl_mac.inc check error: %d\n", errno));
    return 1;
  }
  std::string content, why;
  const std::string source = MacroResourceFile(kIncludeFile, why);
  if (source.empty()) {
    MacroMessage(why + "\n");
    return 1;
  }
  int error = 0;
  if (FileReadAll(source, 1 << 20, content, error) != FileReadResult::Ok) {
    MacroMessage(Printf("norl_mac.inc copy error: %d\n", error ? error : EFBIG));
    return 1;
  }
  if (!FileWriteAtomically(target, content, why)) {
    MacroMessage(Printf("norl_mac.inc copy error: %d\n", errno ? errno : EIO));
    return 1;
  }
  return 0;
}

int MacroCompile(const std::string& base) {
  const size_t slash = base.rfind('/');
  const std::string dir = slash == std::string::npos ? std::string(".") : base.substr(0, slash ? slash : 1);
  const std::string name = slash == std::string::npos ? base : base.substr(slash + 1);
  if (!MacroValidProjectName(name)) {
    MacroMessage("Invalid or empty project!\n");
    return 1;
  }
  // 1. Stamp and save: assembling a file that was not saved would build the
  // old source.
  MacroSetTimeDate();
  if (MacroSaveMacData(base + ".mac") != 0) {
    MacroMessage(std::string(kCompileError) + "\n");
    return 1;
  }
  // 2. The include file.
  if (MacroCopyIncFile(dir) != 0) {
    MacroMessage(std::string(kCompileError) + "\n");
    return 4;
  }
  // An error file left from an earlier run would pass for this run's.
  const std::string errFile = Join(dir, name + ".err");
  if (std::remove(errFile.c_str()) != 0 && errno != ENOENT) {
    MacroMessage(std::string(kCompileError) + "\nCannot remove " + errFile + "\n");
    return 1;
  }
  // 3.-5. Every file as "./name.ext", so a name starting with '-' is no option.
  const std::string local = "./" + name;
  const std::vector<std::string> args = {"-Z", local + ".err", "-l", local + ".lst", "-f", "bin",
                                         local + ".mac", "-o", local + ".mbi"};
  std::string why;
  const std::string program = Assembler(why);
  if (program.empty()) {
    MacroMessage(std::string(kCompileError) + "\n" + why + "\n");
    return 3;
  }
  const ChildRunResult run = RunChildProcess(program, args, dir, udMacCompileLimitMs, PanelProcessEvents);
  switch (run.kind) {
    case ChildRunResult::NotStarted:
      MacroMessage(std::string(kCompileError) + Printf("\nnasm executation error: %d\n", run.code));
      MacroMessage(program + ": " + run.error + "\n");
      return 3;
    case ChildRunResult::TimedOut:
      MacroMessage(std::string(kCompileError) +
                   Printf("\nnasm stopped: no result within %d s\n", static_cast<int>(udMacCompileLimitMs / 1000)));
      return 1;
    case ChildRunResult::Signalled:
      MacroMessage(std::string(kCompileError) + Printf("\nnasm ended by signal %d\n", run.code));
      return 1;
    case ChildRunResult::Exited: break;
  }
  // 6. The error file decides; a failing exit status fails even without text.
  std::string errors;
  int error = 0;
  const FileReadResult read = FileReadAll(errFile, 64u << 20, errors, error);
  if (read == FileReadResult::CannotOpen && error == ENOENT && run.code == 0) {
    MacroMessage(std::string(kCompileError) + "\nCannot open result file error.err\n");
    return 1;
  }
  if (read == FileReadResult::Ok && !errors.empty()) {
    ShowErrorFile(errors);
    return 2;
  }
  if (run.code != 0) {
    MacroMessage(std::string(kCompileError) + Printf("\nnasm exit status: %d\n", run.code));
    return 2;
  }
  if (read != FileReadResult::Ok) {
    MacroMessage(std::string(kCompileError) + "\nCannot open result file error.err\n");
    return 1;
  }
  return 0;
}
