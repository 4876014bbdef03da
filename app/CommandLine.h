// The command line: the option table and the batch grammar.
//   -tmout:<ms>  -expert  -kithara  -com_check   (anywhere, any case)
//   -batch [-dc com <port 1..18> | -dc ipv4 | -dc usb] [-script <file>]
//          ("-batch" only as the first argument)
// Options compare case-insensitively, each by prefix over its own length; a
// script file name is kept exactly as given.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/Startup.h"

inline constexpr int COMMAND_LINE_REJECTED = 2;  // exit code of a rejected batch command line
inline constexpr int BATCH_PORT_MAX = 18;
// Longest response time-out that wrap-safe engine deadlines can hold.
inline constexpr uint32_t TMOUT_MAX_MS = 0x7FFFFFFF;

struct McStartOptions {
  bool expert = false;
  bool kithara = false;
  bool comCheck = false;
  bool timeoutGiven = false;
  uint32_t timeoutMs = 0;
  bool batch = false;
  // Batch plan: what the batch grammar asks for, applied after the engine's
  // start step (which clears the plan).
  uint8_t dataChannel = 0;  // 1 serial, 3 UDP, 4 USB
  int comPort = 0;
  std::string script;
  uint16_t plan[BATCH_PLAN_SLOTS] = {};
  uint8_t planLast = 0;
  // Options that were refused without ending the program ("-tmout:" with a
  // bad number): one message each, the default stays.
  std::vector<std::string> warnings;
};

// Reads argv[1..argc-1]. Returns 0, or COMMAND_LINE_REJECTED with the reason
// in `error` when a batch command line does not follow the grammar.
int McycleParseCommandLine(int argc, const char* const* argv, McStartOptions& options, std::string& error);

// The usage lines printed with a rejected command line.
const char* McycleBatchUsage();

// Flags of the option table (before the start step): expert mode, the
// real-time timer request, the port scan request; batch mode.
void McycleApplyStartFlags(const McStartOptions& options);
// After the start step: the time-out of "-tmout:" and the batch plan with its
// channel, port and script path.
void McycleApplyAfterStartStep(const McStartOptions& options);
