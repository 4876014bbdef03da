#include "scope/ScopeTraceTool.h"

#include <sys/stat.h>

#include <cstdio>
#include <ostream>

#include "engine/Mcycle.h"
#include "engine/McycleFlags.h"
#include "scope/ScopeCsv.h"
#include "scope/ScopeFile.h"
#include "scope/ScopeFileName.h"
#include "scope/ScopeInfo.h"
#include "scope/ScopeTrace.h"

namespace {

const char kUsage[] =
    "Usage:\n"
    "  strokedesk-trace info FILE...\n"
    "  strokedesk-trace convert IN OUT\n"
    "  strokedesk-trace convert --to log|loz|csv FILE...\n"
    "  strokedesk-trace --help\n"
    "\n"
    "Trace files of the RC7 controller: .log (text), .loz and .logzip (compressed),\n"
    ".lo1 (the controller's backtrace file). info prints the variant, firmware,\n"
    "date, traces, frames, sample times and header values of each file. convert\n"
    "writes IN in the format of OUT's extension (.log, .loz or .csv), or each FILE\n"
    "beside itself in the format given with --to. A file is never written onto\n"
    "its input.\n"
    "\n"
    "Exit codes: 0 every file done, 1 a file failed (named on stderr; the others\n"
    "are still done), 2 bad command line.\n";

// The formats a conversion writes.
bool Writable(const std::string& extension) {
  return extension == ".log" || extension == ".loz" || extension == ".csv";
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  if (a == b) return true;
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool Load(const std::string& path, std::ostream& err) {
  if (ScopeLoadFile(path) >= 0) return true;
  err << path << ": " << ScopeFileReason() << '\n';
  return false;
}

bool Convert(const std::string& in, const std::string& out, std::ostream& err) {
  if (SameFile(in, out)) {
    err << in << ": not converted, the output would overwrite the input\n";
    return false;
  }
  if (!Load(in, err)) return false;
  const bool done = ScopeNameExtension(out) == ".csv" ? ScopeExportCsv(out) == SCOPE_CSV_OK
                                                      : ScopeSaveTraceToFile(out.c_str()) == SCOPE_SAVE_OK;
  if (!done) err << out << ": " << ScopeFileReason() << '\n';
  return done;
}

void Info(const std::string& path, std::ostream& out) {
  char line[160];
  out << path << '\n';
  std::snprintf(line, sizeof line, "Variant:     %s\n", ScopeFileVariantName());
  out << line;
  const bool second = ubScopeNumOfTraces == 2;
  for (int t = 0; t < (second ? 2 : 1); ++t) {
    const ScopeTraceDesc& d = scScope[t];
    const double ms = (ubScopeFlag & SCOPE_FLAG_P0417_TRACE) ? d.uwSampleTime : d.uwSampleTime * 0.5;
    const bool skipped = t == 1 && (ubMcFlag4 & MC_FLAG4_SECOND_TRACE_SKIPPED);
    std::snprintf(line, sizeof line, "Trace %d:     %u frames, sample time %.2f ms%s\n", t, d.uwFrames, ms,
                  skipped ? ", not recorded (backtrace running)" : "");
    out << line;
  }
  out << ScopeInfoText() << "\n\n";
}

int Usage(std::ostream& err, const char* why) {
  err << "strokedesk-trace: " << why << "\n\n" << kUsage;
  return TRACE_TOOL_USAGE;
}

int ConvertMany(const std::string& format, const std::vector<std::string>& files, std::ostream& err) {
  int result = TRACE_TOOL_OK;
  for (const std::string& in : files)
    if (!Convert(in, ScopeReplaceExtension(in, "." + format), err)) result = TRACE_TOOL_FAILED;
  return result;
}

}  // namespace

const char* ScopeTraceToolUsage() { return kUsage; }

int ScopeTraceToolRun(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) return Usage(err, "no command");
  const std::string& command = args[0];
  if (command == "--help" || command == "-h") {
    out << kUsage;
    return TRACE_TOOL_OK;
  }
  if (command == "info") {
    if (args.size() < 2) return Usage(err, "info needs at least one file");
    int result = TRACE_TOOL_OK;
    for (size_t i = 1; i < args.size(); ++i) {
      if (Load(args[i], err))
        Info(args[i], out);
      else
        result = TRACE_TOOL_FAILED;
    }
    return result;
  }
  if (command != "convert") return Usage(err, ("unknown command: " + command).c_str());
  if (args.size() >= 2 && args[1] == "--to") {
    if (args.size() < 4) return Usage(err, "convert --to needs a format and at least one file");
    const std::string& format = args[2];
    if (!Writable("." + format)) return Usage(err, ("unknown format: " + format).c_str());
    return ConvertMany(format, std::vector<std::string>(args.begin() + 3, args.end()), err);
  }
  if (args.size() != 3) return Usage(err, "convert needs an input and an output file");
  if (!Writable(ScopeNameExtension(args[2])))
    return Usage(err, ("the output's extension is not .log, .loz or .csv: " + args[2]).c_str());
  return Convert(args[1], args[2], err) ? TRACE_TOOL_OK : TRACE_TOOL_FAILED;
}
