#include "engine/McycleBatch.h"

#include <atomic>
#include <cerrno>
#include <string>

#include "app/Startup.h"
#include "comm/ComChannel.h"
#include "comm/ComQueue.h"
#include "comm/zel_ether.h"
#include "engine/Mcycle.h"
#include "engine/McycleIo.h"
#include "engine/McycleMachines.h"
#include "objects/ScriptLoader.h"
#include "params/CtrlCmd.h"

static_assert(std::atomic<uint8_t>::is_always_lock_free && std::atomic<int>::is_always_lock_free,
              "the stop request is set from a signal handler");

namespace {

std::atomic<int> iBatchExitCode{BATCH_EXIT_OK};
std::atomic<uint8_t> ubBatchStopRequest{0};
uint8_t ubBatchSlotFailed;

// Ends the batch with `code` (a stop request outranks it) on the next tick.
void Finish(int code) {
  iBatchExitCode = ubBatchStopRequest ? BATCH_EXIT_STOPPED : code;
  McycleGo(MC_BATCH_END);
}

// Says how opening the link went; true when it is open.
bool Opened(bool open) {
  if (!open) {
    McycleSay("Com Channel error, not open\n");
    return false;
  }
  McycleChannelContainersInit();
  McycleSay("Com Channel is open\n");
  return true;
}

// "-dc ipv4": the controller at the address StrokeDesk.ini gave.
bool OpenUdp() {
  if (udUdpEthDestIp_DWORD == 0) {
    McycleSay("No IP-Address for the Ethernet channel: set ip_addr in StrokeDesk.ini\n");
    return Opened(false);
  }
  McycleSayf("Connecting IPv4 %s\n", McycleChannelUdpAddress().c_str());
  return Opened(McycleChannelOpenUdp());
}

// "-dc usb": the serial port of the RC7 USB device.
bool OpenUsb() {
  if (!McycleChannelFindUsb()) return Opened(false);
  McycleSayf("Connecting USB COM %2d\n", ubTcpUsbComPort.load());
  return Opened(McycleChannelOpenUsb());
}

// The links chosen with "-dc ipv4" and "-dc usb" have no plan entry: they
// are opened before the first slot. "-dc com" opens in its connect slot.
bool OpenChosenLink() {
  switch (ubCqDataChannel) {
    case CQ_LINK_UDP: return OpenUdp();
    case CQ_LINK_USB: return OpenUsb();
    default: return true;
  }
}

bool StartConnect() {
  const int port = iStMaComChan;
  McycleSayf("Connecting COM %2d\n", port);
  ubMcFlag1 &= static_cast<uint8_t>(~(MC_FLAG1_LINK_ESTABLISHED | MC_FLAG1_CYCLIC_MONITOR_ON));
  if (port > 0 && McycleChannelOpenSerial(port)) return Opened(true);
  const int error = errno;
  Opened(false);
  if (port > 0) McycleSay(McycleChannelSerialProblem(port, error).c_str());
  return false;
}

// Compiles the script file; a script runs only when every line compiled and
// it has something to do. Nothing reaches the controller otherwise.
bool StartScript() {
  const std::string path = ubCtrlCmdPathBuffer;
  McycleSay(("Open Script " + path + "\n").c_str());
  std::string reply;
  const uint8_t result = McycleCompileScriptFile(path, true, reply);
  if (result == SCRIPT_LOAD_OPEN_FAILED) {
    McycleSay("Can't open File\n");
    return false;
  }
  if (result != SCRIPT_LOAD_OK) {
    McycleSay((reply + "\n").c_str());
    McycleSay("Script not run: it does not compile\n");
    return false;
  }
  if (sScrContainer.uwNumOfEntries == 0) {
    McycleSay("Script not run: it holds no commands\n");
    return false;
  }
  return true;
}

// Step 0: start the slot ubBatchCounter, or end the batch.
void StartSlot() {
  if (ubBatchStopRequest) {
    Finish(BATCH_EXIT_STOPPED);
    return;
  }
  if (ubBatchCounter == 0 && !OpenChosenLink()) {
    Finish(BATCH_EXIT_FAILED);
    return;
  }
  ubBatchSlotFailed = 0;
  const uint16_t entry = ubBatchCounter < BATCH_PLAN_SLOTS ? uwMcBatchStateQueue[ubBatchCounter] : 0;
  bool started = false;
  switch (entry) {
    case 0:  // nothing planned here: the slots before it were the batch
      Finish(BATCH_EXIT_OK);
      return;
    case BATCH_PLAN_CONNECT: started = StartConnect(); break;
    case BATCH_PLAN_SCRIPT: started = StartScript(); break;
    default: McycleSayf("Batch: unknown plan entry 0x%04X\n", entry); break;
  }
  // The callee returns to step 1 through the return stack; push only when
  // it really runs, so every pushed state is popped.
  if (!started || McyclePush(MC_BATCH_SLOT_DONE) != 0) {
    Finish(BATCH_EXIT_FAILED);
    return;
  }
  McycleGo(entry);
  if (entry == BATCH_PLAN_SCRIPT) {
    // The script's first step drops a stop request made before it started
    // (Esc pressed while idle). A signal that came while this slot was being
    // prepared must still end it: take that step now, then ask again.
    McycleWriteScriptListStateMachine();
    if (ubBatchStopRequest) ubMcFlag2 |= MC_FLAG2_SCRIPT_STOP_REQUEST;
  }
}

// Step 1: the slot's machine has returned.
void SlotDone() {
  const uint16_t entry = uwMcBatchStateQueue[ubBatchCounter];
  const bool failed =
      ubBatchSlotFailed || (entry == BATCH_PLAN_CONNECT && !(ubMcFlag1 & MC_FLAG1_LINK_ESTABLISHED));
  if (failed || ubBatchStopRequest) {
    Finish(BATCH_EXIT_FAILED);
    return;
  }
  ++ubBatchCounter;
  if (ubBatchCounter <= ubBatchStateCnt && ubBatchCounter < BATCH_PLAN_SLOTS) {
    McycleGo(MC_BATCH_SLOT);
    return;
  }
  Finish(BATCH_EXIT_OK);
}

}  // namespace

void McycleBatchReset() {
  iBatchExitCode = BATCH_EXIT_OK;
  ubBatchStopRequest = 0;
  ubBatchSlotFailed = 0;
}

int McycleBatchExitCode() { return iBatchExitCode; }

void McycleBatchRequestStop() {
  ubBatchStopRequest = 1;
  ubMcFlag2 |= MC_FLAG2_SCRIPT_STOP_REQUEST;
}

void McycleBatchNoteFailure() { ubBatchSlotFailed = 1; }

void McycleBatchModeStateMachine() {
  switch (uwMcycleState.load()) {
    case MC_BATCH_SLOT: StartSlot(); return;
    case MC_BATCH_SLOT_DONE: SlotDone(); return;
    default:
      // The end: main wakes, stops and joins the timer, and returns the code.
      McycleGo(MC_STATE_IDLE);
      McycleBatchEndSet();
      return;
  }
}
