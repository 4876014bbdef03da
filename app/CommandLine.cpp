#include "app/CommandLine.h"

#include <cctype>
#include <cstring>

#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "engine/McycleBatch.h"

namespace {

// True when the first `length` characters of `arg` equal those of `option`,
// ignoring case (and `arg` has that many).
bool Matches(const char* arg, const char* option, size_t length) {
  for (size_t i = 0; i < length; ++i) {
    if (arg[i] == '\0') return false;
    if (std::tolower(static_cast<unsigned char>(arg[i])) != std::tolower(static_cast<unsigned char>(option[i])))
      return false;
  }
  return true;
}
bool Matches(const char* arg, const char* option) { return Matches(arg, option, std::strlen(option)); }

// A decimal number made of digits only, at most `max`.
bool ReadNumber(const char* text, uint64_t max, uint64_t& value) {
  if (*text == '\0') return false;
  value = 0;
  for (const char* p = text; *p; ++p) {
    if (!std::isdigit(static_cast<unsigned char>(*p))) return false;
    value = value * 10 + static_cast<uint64_t>(*p - '0');
    if (value > max) return false;
  }
  return true;
}

void ReadTimeout(const char* arg, McStartOptions& o) {
  uint64_t ms = 0;
  const char* number = arg + 7;
  if (ReadNumber(number, TMOUT_MAX_MS, ms) && ms > 0) {
    o.timeoutGiven = true;
    o.timeoutMs = static_cast<uint32_t>(ms);
    return;
  }
  o.warnings.push_back(std::string("Option ") + arg + " ignored: the time-out must be a number of milliseconds from 1 to " +
                       std::to_string(TMOUT_MAX_MS) + "; the default stays.");
}

// Options of the table; true when `arg` is one of them.
bool ReadTableOption(const char* arg, McStartOptions& o) {
  if (Matches(arg, "-tmout:")) {
    ReadTimeout(arg, o);
    return true;
  }
  if (Matches(arg, "-expert")) return o.expert = true;
  if (Matches(arg, "-kithara")) return o.kithara = true;
  if (Matches(arg, "-com_check")) return o.comCheck = true;
  return false;
}

int Reject(std::string& error, const std::string& reason) {
  error = reason;
  return COMMAND_LINE_REJECTED;
}

int ReadChannel(int argc, const char* const* argv, int& i, McStartOptions& o, std::string& error) {
  if (i + 1 >= argc) return Reject(error, "-dc needs a channel: com <port>, ipv4 or usb");
  const char* word = argv[i + 1];
  if (Matches(word, "com", 3)) {
    if (i + 2 >= argc) return Reject(error, "-dc com needs a port number");
    uint64_t port = 0;
    if (!ReadNumber(argv[i + 2], BATCH_PORT_MAX, port) || port < 1)
      return Reject(error, std::string("port number \"") + argv[i + 2] + "\" is not a number from 1 to " +
                               std::to_string(BATCH_PORT_MAX));
    o.dataChannel = 1;
    o.comPort = static_cast<int>(port);
    o.plan[o.planLast++] = BATCH_PLAN_CONNECT;
    i += 3;
    return 0;
  }
  if (Matches(word, "ipv4", 3)) {
    o.dataChannel = 3;
  } else if (Matches(word, "usb", 3)) {
    o.dataChannel = 4;
  } else {
    return Reject(error, std::string("unknown channel \"") + word + "\" after -dc (com, ipv4 or usb)");
  }
  i += 2;
  return 0;
}

int ReadBatch(int argc, const char* const* argv, McStartOptions& o, std::string& error) {
  bool channelSeen = false, scriptSeen = false;
  int i = 2;
  while (i < argc) {
    const char* arg = argv[i];
    if (ReadTableOption(arg, o)) {
      ++i;
    } else if (!channelSeen && !scriptSeen && Matches(arg, "-dc", 3)) {
      channelSeen = true;
      if (int rc = ReadChannel(argc, argv, i, o, error)) return rc;
    } else if (!scriptSeen && Matches(arg, "-script", 7)) {
      scriptSeen = true;
      if (i + 1 >= argc) return Reject(error, "-script needs a file name");
      const char* name = argv[i + 1];
      if (std::strlen(name) >= CTRL_CMD_PATH_BUFFER_SIZE)
        return Reject(error, "script file name longer than " + std::to_string(CTRL_CMD_PATH_BUFFER_SIZE - 1) +
                                 " characters");
      o.script = name;
      o.plan[o.planLast] = BATCH_PLAN_SCRIPT;  // the last slot to run
      i += 2;
    } else {
      return Reject(error, std::string("unexpected argument \"") + arg + "\"");
    }
  }
  return 0;
}

}  // namespace

const char* McycleBatchUsage() {
  return "usage: strokedesk [-expert] [-kithara] [-com_check] [-tmout:<ms>]\n"
         "       strokedesk -batch [-dc com <port 1..18> | -dc ipv4 | -dc usb] [-script <file>] [-tmout:<ms>]\n"
         "batch exit codes:\n"
         "  0  every slot finished without error\n"
         "  1  the batch ran but something failed: port or socket not opened, connect failed,\n"
         "     script not opened, not compiled, empty, or ended on a run-time error\n"
         "  2  the command line was rejected\n"
         "  3  stopped by SIGINT or SIGTERM\n";
}

int McycleParseCommandLine(int argc, const char* const* argv, McStartOptions& o, std::string& error) {
  o = McStartOptions{};
  error.clear();
  if (argc > 1 && Matches(argv[1], "-batch", 6)) {
    o.batch = true;
    return ReadBatch(argc, argv, o, error);
  }
  // Interactive: the table's options anywhere; the panel toolkit takes what
  // it knows of the rest.
  for (int i = 1; i < argc; ++i) ReadTableOption(argv[i], o);
  return 0;
}

void McycleApplyStartFlags(const McStartOptions& o) {
  ubMcFlag2 &= static_cast<uint8_t>(~MC_FLAG2_EXPERT_MODE);
  if (o.expert) {
    ubMcFlag2 |= MC_FLAG2_EXPERT_MODE;
    ubMcFlag4 |= MC_FLAG4_EXPERT_MODE;
  }
  if (o.kithara) ubMcFlag4 |= MC_FLAG4_KITHARA_TIMER;
  if (o.comCheck) ubMcFlag5 |= MC_FLAG5_SCAN_PORTS_AT_START;
  if (o.batch) ubMcFlag3 |= MC_FLAG3_BATCH_MODE;
}

void McycleApplyAfterStartStep(const McStartOptions& o) {
  if (o.timeoutGiven) udCqNorlTimeout = o.timeoutMs;
  if (!o.batch) return;
  for (int i = 0; i < BATCH_PLAN_SLOTS; ++i) uwMcBatchStateQueue[i] = o.plan[i];
  ubBatchStateCnt = o.planLast;
  ubBatchCounter = 0;
  if (o.dataChannel) ubCqDataChannel = o.dataChannel;
  if (o.comPort) iStMaComChan = o.comPort;
  std::memset(ubCtrlCmdPathBuffer, 0, sizeof ubCtrlCmdPathBuffer);
  std::memcpy(ubCtrlCmdPathBuffer, o.script.data(), o.script.size());
}
