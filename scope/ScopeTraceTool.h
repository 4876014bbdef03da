// strokedesk-trace: trace files on the command line, without a display,
// through the same readers and writers as the program.
//
//   strokedesk-trace info FILE...
//   strokedesk-trace convert IN OUT
//   strokedesk-trace convert --to log|loz|csv FILE...
#pragma once
#include <iosfwd>
#include <string>
#include <vector>

inline constexpr int TRACE_TOOL_OK = 0;       // every file done
inline constexpr int TRACE_TOOL_FAILED = 1;   // a file failed (named on stderr); the others were done
inline constexpr int TRACE_TOOL_USAGE = 2;    // bad command line (reason and usage on stderr)

// The usage text of --help.
const char* ScopeTraceToolUsage();
// Runs the tool on `args` (without the program name). Main thread only: it
// uses the trace record and header globals of the program.
int ScopeTraceToolRun(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
