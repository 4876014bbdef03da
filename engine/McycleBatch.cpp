#include "engine/McycleBatch.h"

#include <atomic>
#include <cstdio>
#include <string>

#include "app/Startup.h"
#include "comm/ComChannel.h"
#include "comm/ComQueue.h"
#include "comm/StMaUart.h"
#include "comm/zel_ether.h"
#include "engine/Mcycle.h"
#include "engine/McycleMachines.h"
#include "hmi/hmi.h"
#include "objects/ScriptLoader.h"
#include "params/CtrlCmd.h"
#include "platform/Serial.h"
#include "ui/PanelIds.h"

static_assert(std::atomic<uint8_t>::is_always_lock_free && std::atomic<int>::is_always_lock_free,
              "the stop request is set from a signal handler");

namespace {

constexpr uint16_t kStepSlotDone = 0x1F01;
constexpr uint16_t kStepEnd = 0x1F02;

std::atomic<int> iBatchExitCode{BATCH_EXIT_OK};
std::atomic<uint8_t> ubBatchStopRequest{0};
uint8_t ubBatchSlotFailed;

void Say(const std::string& text) {
  HmiLogWindowOut(text.c_str(), uwMcMainPanelHandle, HI_PRIO_TEXT, MAIN_TXTBOX_LOG);
}

void SayPort(const char* format, int port) {
  char line[64];
  std::snprintf(line, sizeof line, format, port);
  Say(line);
}

// Ends the batch with `code` (a stop request outranks it) on the next tick.
void Finish(int code) {
  iBatchExitCode = ubBatchStopRequest ? BATCH_EXIT_STOPPED : code;
  uwMcycleState = kStepEnd;
}

bool LinkOpened() {
  McycleContainersInit(false);
  Say("Com Channel is open\n");
  return true;
}

bool LinkNotOpened() {
  Say("Com Channel error, not open\n");
  return false;
}

// "-dc ipv4": the controller at the address StrokeDesk.ini gave.
bool OpenUdp() {
  if (udUdpEthDestIp_DWORD == 0) {
    Say("No IP-Address for the Ethernet channel: set ip_addr in StrokeDesk.ini\n");
    return LinkNotOpened();
  }
  char address[20];
  std::snprintf(address, sizeof address, "%d.%d.%d.%d", ubUdpEthDestIp[3], ubUdpEthDestIp[2], ubUdpEthDestIp[1],
                ubUdpEthDestIp[0]);
  Say(std::string("Connecting IPv4 ") + address + "\n");
  return ZelEtherInitSocket(address) == 0 ? LinkOpened() : LinkNotOpened();
}

// "-dc usb": the serial port of the RC7 USB device.
bool OpenUsb() {
  uint8_t port = 0;
  const uint8_t found = McycleReadRegUsbPort(&port);
  if (found != 0) {
    Say(found == 1 ? "USB Device not in Registry!\n" : "USB Port in Registry not found!\n");
    return LinkNotOpened();
  }
  ubTcpUsbComPort = port;
  SayPort("Connecting USB COM %2d\n", port);
  return SerialOpen(port) >= 0 ? LinkOpened() : LinkNotOpened();
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
  SayPort("Connecting COM %2d\n", port);
  ubMcFlag1 &= static_cast<uint8_t>(~(MC_FLAG1_LINK_ESTABLISHED | MC_FLAG1_CYCLIC_MONITOR_ON));
  return port > 0 && CqOpenComChan(port, 9600) >= 0 ? LinkOpened() : LinkNotOpened();
}

// Compiles the script file; a script runs only when every line compiled and
// it has something to do. Nothing reaches the controller otherwise.
bool StartScript() {
  const std::string path = ubCtrlCmdPathBuffer;
  Say("Open Script " + path + "\n");
  std::string reply;
  const uint8_t result = McycleCompileScriptFile(path, true, reply);
  if (result == SCRIPT_LOAD_OPEN_FAILED) {
    Say("Can't open File\n");
    return false;
  }
  if (result != SCRIPT_LOAD_OK) {
    Say(reply + "\n");
    Say("Script not run: it does not compile\n");
    return false;
  }
  if (sScrContainer.uwNumOfEntries == 0) {
    Say("Script not run: it holds no commands\n");
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
    default: SayPort("Batch: unknown plan entry 0x%04X\n", entry); break;
  }
  // The callee returns to step 1 through the return stack; push only when
  // it really runs, so every pushed state is popped.
  if (!started || McyclePush(kStepSlotDone) != 0) {
    Finish(BATCH_EXIT_FAILED);
    return;
  }
  uwMcycleState = entry;
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
    uwMcycleState = 0x1F00;
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
  switch (uwMcycleState & 0xFF) {
    case 0: StartSlot(); return;
    case 1: SlotDone(); return;
    default:
      // The end: main wakes, stops and joins the timer, and returns the code.
      uwMcycleState = MC_STATE_IDLE;
      McycleBatchEndSet();
      return;
  }
}
