// Machine 0x24: memory transfer through the 0x2319 window.
#include "engine/McycleMemory.h"

#include <algorithm>
#include <cstdio>

#include "app/PanelCallbacks.h"
#include "app/Startup.h"
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "engine/McycleIo.h"
#include "engine/McycleMachines.h"
#include "hmi/hmi.h"
#include "macro/macro.h"
#include "params/CtrlCmd.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

uint32_t udMcMacDataCounter;
uint32_t udMcMemDivisor;
std::string chMcDownloadPath;

namespace {

enum class MemOp { Upload, Download, Erase, EthWrite, EthRead };

// The window entries of sMemContainer.
constexpr int kEntryMode = 0;
constexpr int kEntryAddress = 1;
constexpr int kEntryLength = 2;
constexpr int kEntryData = 3;      // data words 1 .. 4 at 3 .. 6
constexpr int kEntryCommand = 7;
constexpr int kWindowEntries = 8;
constexpr uint32_t kMacroBlock = 16;
constexpr uint32_t kEthFirstBlock = 8;
constexpr uint32_t kEthNextBlock = 12;
constexpr uint32_t kEthWords = 5;
constexpr uint32_t kSettleMs = 100;
constexpr uint32_t kPollLimitMs = 1000;
constexpr uint32_t kErasePollLimitMs = 60000;
constexpr uint32_t kErasingLineMs = 500;
constexpr uint32_t kDefaultDivisor = 400;
constexpr uint32_t kEraseDivisor = 1222;
constexpr uint8_t kEndMask = 0x25;  // queue full, macro panel, wizard request survive

MemOp memOp;
uint8_t ubMcMemEntry;
uint8_t ubMcMemEntryCount;
uint32_t udMcMemStamp;
uint32_t udMcMemDeadline;
uint32_t udMcMemEraseStart;
uint32_t udMcMemErasingShown;
uint32_t udMcMemTicks;
uint32_t udMcMemProgress;

CtrlCmdEntry& Entry(int i) { return sMemContainer.entries[i]; }
bool Ethernet() { return memOp == MemOp::EthWrite || memOp == MemOp::EthRead; }

// Messages of the operation: the macro panel's box when it started the
// transfer, else the main log. Text ending in a line feed goes as it is.
void Say(const char* text, uint8_t priority = HI_PRIO_LINE) {
  const bool macroBox = ubMcFlag & MC_FLAG_MEM_MACRO_PANEL;
  const size_t n = std::char_traits<char>::length(text);
  if (priority == HI_PRIO_LINE && n > 0 && text[n - 1] == '\n') priority = HI_PRIO_TEXT;
  HmiLogWindowOut(text, macroBox ? uwMcMacroPanelHandle : uwMcMainPanelHandle, priority,
                  macroBox ? static_cast<uint16_t>(MACRO_TXTBOX_MSG) : static_cast<uint16_t>(MAIN_TXTBOX_LOG));
}

void Sayf(uint8_t priority, const char* format, uint32_t value) {
  char line[96];
  std::snprintf(line, sizeof line, format, static_cast<unsigned>(value));
  Say(line, priority);
}

void MacroPanelLine(const std::string& text) {
  HmiLogWindowOut(text.c_str(), uwMcMacroPanelHandle, text.back() == '\n' ? HI_PRIO_TEXT : HI_PRIO_LINE,
                  MACRO_TXTBOX_MSG);
}

void ConfigStatus(const char* text) { PanelSetString(uwMcConfigPanelHandle, CONF_TXT_STATUS, text); }

void ShowBar(uint32_t value) {
  PanelSetInt(uwMcMacroLoadPanelHandle, MACRO_LOAD_PROGRESS, std::min<uint32_t>(value, MC_MEM_BAR_FULL));
}

// True while a request of the machine is still on its way: it is let
// finish, since its answer would otherwise be taken for a later request's.
bool RequestInFlight() {
  if (ubCQWriteSDOState != 2) return false;
  uint8_t status = CQ_FREE;
  CqElementStatus(ubMcCanHandle, &status);
  return status != CQ_DONE && status != CQ_FAILED && status != CQ_FREE;
}

// The finished request of an abandoned step goes with the transfer.
void CancelRequest() {
  if (ubCQWriteSDOState == 2) CqElementPurge(ubMcCanHandle);
  ubCQWriteSDOState = 1;
}

// Every end: progress panel away, normal cursor, operation bits cleared.
void End() {
  CancelRequest();
  PanelHide(uwMcMacroLoadPanelHandle);
  HmiLogWindowOut("", uwMcMainPanelHandle, HI_PRIO_LINE, HI_CURSOR_WAIT_OFF);
  ubMcFlag &= kEndMask;
  McycleGo(MC_STATE_IDLE);
}

uint32_t Divisor(uint32_t value) { return std::max<uint32_t>(1, value); }

void BuildWindow() {
  CtrlCmdEntriesClear(sMemContainer, 0, kWindowEntries);
  for (int i = 0; i < kWindowEntries; ++i) {
    CtrlCmdEntry& e = Entry(i);
    e.uwIndex = MC_MEM_WINDOW_OBJECT;
    e.ubLength = 4;
  }
  Entry(kEntryMode).ubSubIndex = MC_MEM_SUB_MODE;
  Entry(kEntryMode).udData = 2;
  Entry(kEntryAddress).ubSubIndex = MC_MEM_SUB_ADDRESS;
  Entry(kEntryAddress).udData = Ethernet() ? MC_MEM_ETH_ADDRESS : MC_MEM_MACRO_ADDRESS;
  Entry(kEntryLength).ubSubIndex = MC_MEM_SUB_LENGTH;
  Entry(kEntryLength).udData = Ethernet() ? kEthFirstBlock : kMacroBlock;
  for (int k = 0; k < 4; ++k) Entry(kEntryData + k).ubSubIndex = static_cast<uint8_t>(MC_MEM_SUB_DATA + k);
  CtrlCmdEntry& cmd = Entry(kEntryCommand);
  cmd.uwIndex = CTRL_OBJ_COMMAND;
  cmd.ubSubIndex = 0;
  cmd.ubLength = 2;
  const bool read = memOp == MemOp::Download || memOp == MemOp::EthRead;
  cmd.udData = read ? MC_MEM_CMD_READ : MC_MEM_CMD_WRITE;
  sMemContainer.uwNumOfEntries = kWindowEntries;
}

void Start() {
  const uint8_t flags = ubMcFlag;
  if (flags & MC_FLAG_MEM_ETHERNET) memOp = (flags & MC_FLAG_MEM_READ) ? MemOp::EthRead : MemOp::EthWrite;
  else if (flags & MC_FLAG_MEM_ERASE) memOp = MemOp::Erase;
  else if (flags & MC_FLAG_MEM_READ) memOp = MemOp::Download;
  else memOp = MemOp::Upload;
  ubMcMemEntry = 0;
  udMcMacDataCounter = 0;
  udMcMemDivisor = kDefaultDivisor;
  udMcMemProgress = 0;
  udMcMemTicks = 0;
  ubMcFlag |= MC_FLAG_MEMORY_TRANSFER;
  ubMcFlag4 &= static_cast<uint8_t>(~MC_FLAG4_MEMORY_ABORT);
  HmiLogWindowOut("", uwMcMainPanelHandle, HI_PRIO_LINE, HI_CURSOR_WAIT_ON);
  switch (memOp) {
    case MemOp::EthWrite:
    case MemOp::EthRead:
      ConfigStatus("Busy");
      Say(memOp == MemOp::EthWrite ? "Ethernet Config: Memory write" : "Ethernet Config: Memory read");
      McycleGo(MC_MEMORY_WINDOW);
      return;
    case MemOp::Erase:
      udMcMemEraseStart = udMcMemErasingShown = McTimerGetCurrentTime();
      Say("Memory Erase");
      udMcMemDivisor = kEraseDivisor;
      McycleGo(MC_MEMORY_ERASE_START);
      return;
    case MemOp::Upload: {
      const uint32_t size = MacroGetFileDataSize();
      const uint32_t perBlock = ubCqDataChannel == CQ_LINK_UDP ? 4 : 7;
      udMcMemDivisor = Divisor(size * perBlock / MC_MEM_BAR_FULL);
      Say("Memory Upload");
      Sayf(HI_PRIO_LINE, "Macro File Length: %u", size);
      McycleGo(MC_MEMORY_WINDOW);
      return;
    }
    case MemOp::Download:
      Say("Memory Download");
      McycleGo(MC_MEMORY_DOWNLOAD_START);
      return;
  }
}

void Success() {
  HmiLogWindowOut("", uwMcMainPanelHandle, HI_PRIO_LINE, HI_CURSOR_WAIT_OFF);
  const MemOp op = memOp;
  switch (op) {
    case MemOp::EthWrite:
    case MemOp::EthRead: ConfigStatus("Succesful"); break;
    case MemOp::Upload:
      Say((ubMcFlag & MC_FLAG_MEM_MACRO_PANEL) ? "Memory Upload: Write completed succesfully!"
                                               : "Memory Upload completed succesfully!");
      Say("Restart RC7 to update the macro code!");
      break;
    case MemOp::Download: Say("Memory Download: Read completed succesfully!"); break;
    case MemOp::Erase: Say("Memory Erase: Erasing completed succesfully!"); break;
  }
  End();
  // Shown once the engine is idle again; the box does not wait for the operator.
  if (op == MemOp::Upload) PanelMessagePopup("Upload complete!", "Restart RC7 to update the macro code!");
}

void Failure() {
  switch (memOp) {
    case MemOp::EthWrite:
      ConfigStatus("Error");
      Say("Ethernet Config: Write Error!");
      break;
    case MemOp::EthRead:
      ConfigStatus("Error");
      Say("Ethernet Config: Read Error!");
      break;
    case MemOp::Upload: Say("Memory Upload: Write Error!"); break;
    case MemOp::Download: Say("Memory Download: Read Error!"); break;
    case MemOp::Erase: Say("Memory Erase: Erase Error!"); break;
  }
  End();
}

void InvalidEthernetData() {
  ConfigStatus("Invalid");
  Say("Ethernet Config: invalid data!");
  End();
}

// One tick before the step: the bar, and an abort asked for on the panel.
bool Supervise() {
  if ((uwMcycleState & 0xFF) == 0) return true;
  ++udMcMemTicks;
  if (udMcMemTicks / udMcMemDivisor >= udMcMemProgress) {
    ShowBar(udMcMemProgress);
    ++udMcMemProgress;
  }
  if (!(ubMcFlag4 & MC_FLAG4_MEMORY_ABORT) || Ethernet()) return true;
  if (RequestInFlight()) return false;
  ubMcFlag4 &= static_cast<uint8_t>(~MC_FLAG4_MEMORY_ABORT);
  Say("Macro Upload: aborted\n");
  End();
  return false;
}

void ShowEthernetSettings() {
  const uint32_t ip = udMcIpAddr;
  const int ipFields[4] = {CONF_NUM_IP_1, CONF_NUM_IP_2, CONF_NUM_IP_3, CONF_NUM_IP_4};
  for (int i = 0; i < 4; ++i) PanelSetInt(uwMcConfigPanelHandle, ipFields[i], (ip >> (24 - 8 * i)) & 0xFF);
  // The fields show m5 .. m0 from the first to the last.
  for (int i = 0; i < 6; ++i) PanelSetInt(uwMcConfigPanelHandle, CONF_NUM_MAC_1 + i, udMcMacAddr[5 - i]);
  Say("Ethernet Config: Read completed succesfully!");
  char line[96];
  std::snprintf(line, sizeof line, "IP:  %u.%u.%u.%u", ip >> 24, (ip >> 16) & 0xFF, (ip >> 8) & 0xFF, ip & 0xFF);
  Say(line);
  std::snprintf(line, sizeof line, "MAC: 0x%02X 0x%02X 0x%02X 0x%02X 0x%02X 0x%02X", udMcMacAddr[5], udMcMacAddr[4],
                udMcMacAddr[3], udMcMacAddr[2], udMcMacAddr[1], udMcMacAddr[0]);
  Say(line);
}

// A downloaded image is kept, but one whose header does not describe it
// ends as a failed download.
bool DownloadedImageValid() {
  const uint32_t size = MacroGetFileDataSize();
  const uint32_t field = MacroImageHeaderSize(), stored = MacroImageHeaderCrc(), computed = MacroImageComputedCrc();
  if (size >= MAC_HEADER_SIZE && field == size && stored == computed) return true;
  char line[160];
  std::snprintf(line, sizeof line,
                "Memory Download: the image header does not fit its data (size field %u of %u bytes, CRC32 0x%08X, "
                "computed 0x%08X)",
                static_cast<unsigned>(field), static_cast<unsigned>(size), static_cast<unsigned>(stored),
                static_cast<unsigned>(computed));
  Say(line);
  return false;
}

void StepWriteWindow() {
  const uint8_t rc = McycleWriteEntry(Entry(ubMcMemEntry), 0);
  if (rc == 1) return;
  if (rc == 0) return McycleGo(MC_MEMORY_ERROR);
  if (ubMcMemEntry == kEntryLength) {
    switch (memOp) {
      case MemOp::Upload: ubMcMemEntry = kEntryData; return McycleGo(MC_MEMORY_UPLOAD_FILL);
      case MemOp::EthWrite: ubMcMemEntry = kEntryData; return McycleGo(MC_MEMORY_ETH_FILL);
      default: ubMcMemEntry = kEntryCommand; return;  // the read command, no data words
    }
  }
  if (ubMcMemEntry == kEntryCommand) {
    ubMcMemEntry = 0;
    udMcMemStamp = McTimerGetCurrentTime();
    return McycleGo(MC_MEMORY_WAIT);
  }
  ++ubMcMemEntry;
}

void StepWriteBlock() {
  const uint8_t rc = McycleWriteEntry(Entry(ubMcMemEntry), 0);
  if (rc == 1) return;
  if (rc == 0) return McycleGo(MC_MEMORY_ERROR);
  if (ubMcMemEntry < kEntryCommand) {
    ++ubMcMemEntry;
    return;
  }
  if (memOp == MemOp::Upload) {
    Sayf(HI_PRIO_PROGRESS, "Memory Upload: %u Bytes written", udMcMacDataCounter);
    ubMcMemEntry = kEntryData;
  } else if (Entry(kEntryLength).udData == kEthFirstBlock) {
    Entry(kEntryLength).udData = kEthNextBlock;
    ubMcMemEntry = kEntryLength;
  } else {
    ubMcMemEntry = kEntryData;
  }
  udMcMemStamp = McTimerGetCurrentTime();
  McycleGo(MC_MEMORY_WAIT);
}

void StepPoll() {
  const uint8_t rc = McycleReadObject(MC_MEM_WINDOW_OBJECT, MC_MEM_SUB_STATUS, 0);
  if (rc == 1) return;
  if (rc == 0) return McycleGo(MC_MEMORY_ERROR);
  const uint32_t status = cqCanData.udData;
  const uint32_t now = McTimerGetCurrentTime();
  if (status & MC_MEM_STATUS_DONE) {
    switch (memOp) {
      case MemOp::Upload:
        if (udMcMacDataCounter < MacroGetFileDataSize()) return McycleGo(MC_MEMORY_UPLOAD_FILL);
        ShowBar(MC_MEM_BAR_FULL);
        return McycleGo(MC_MEMORY_SUCCESS);
      case MemOp::Download:
      case MemOp::EthRead:
        ubMcMemEntry = kEntryData;
        ubMcMemEntryCount = kEntryCommand;
        return McycleGo(MC_MEMORY_READ_BLOCK);
      case MemOp::Erase:
        ShowBar(MC_MEM_BAR_FULL);
        return McycleGo(MC_MEMORY_SUCCESS);
      case MemOp::EthWrite: return McycleGo(udMcMacDataCounter < kEthWords ? MC_MEMORY_ETH_FILL : MC_MEMORY_SUCCESS);
    }
  }
  if (status & MC_MEM_STATUS_ERROR) return McycleGo(MC_MEMORY_ERROR);
  if (memOp == MemOp::Erase && now - udMcMemErasingShown >= kErasingLineMs) {
    udMcMemErasingShown = now;
    char line[48];
    std::snprintf(line, sizeof line, "Erasing %.2lf s", (now - udMcMemEraseStart) / 1000.0);
    Say(line, HI_PRIO_PROGRESS);
  }
  if (McTimeAfter(now, udMcMemDeadline)) McycleGo(MC_MEMORY_ERROR);
}

void StepReadBlock() {
  const uint8_t rc = McycleReadEntry(Entry(ubMcMemEntry), 0);
  if (rc == 1) return;
  if (rc == 0) return McycleGo(MC_MEMORY_ERROR);
  Entry(ubMcMemEntry).udData = cqCanData.udData;
  if (++ubMcMemEntry < ubMcMemEntryCount) return;
  ubMcMemEntry = 0;
  if (memOp == MemOp::Download) {
    for (int k = 0; k < 4; ++k) MacroSetFileData(udMcMacDataCounter, Entry(kEntryData + k).udData);
    Sayf(HI_PRIO_PROGRESS, "Memory Download: %u Bytes readed", udMcMacDataCounter);
    if (udMcMacDataCounter < MacroGetFileDataSize()) {
      ubMcMemEntry = kEntryCommand;
      return McycleGo(MC_MEMORY_WRITE_WINDOW);
    }
    if (MacroSaveMbiData(chMcDownloadPath) != 0) return McycleGo(MC_MEMORY_ERROR);
    MacroPanelLine("Macro saved: " + chMcDownloadPath + "\n");
    if (!DownloadedImageValid()) return McycleGo(MC_MEMORY_ERROR);
    ShowBar(MC_MEM_BAR_FULL);
    return McycleGo(MC_MEMORY_SUCCESS);
  }
  const bool first = Entry(kEntryLength).udData == kEthFirstBlock;
  for (int k = 0; k < (first ? 2 : 4); ++k)
    if (McycleSetEthConfigData(udMcMacDataCounter, Entry(kEntryData + k).udData)) return McycleGo(MC_MEMORY_ETH_INVALID);
  if (first) Entry(kEntryLength).udData = kEthNextBlock;
  if (udMcMacDataCounter < kEthWords) {
    ubMcMemEntry = kEntryLength;
    return McycleGo(MC_MEMORY_WRITE_WINDOW);
  }
  ShowEthernetSettings();
  McycleGo(MC_MEMORY_SUCCESS);
}

void StepDownloadStart() {
  const uint8_t rc = McycleReadObject(MC_MEM_INFO_OBJECT, MC_MEM_SUB_MACRO_LENGTH, 0);
  if (rc == 1) return;
  if (rc == 0) return McycleGo(MC_MEMORY_ERROR);
  const uint32_t length = cqCanData.udData;
  if (length == 0) {
    Say("Memory Download: Invalid macro length!");
    Say("Memory Download: No valid data found!");
    return McycleGo(MC_MEMORY_ERROR);
  }
  if (length > MAC_IMAGE_MAX) {
    Say("Memory Download: Invalid macro length!");
    return McycleGo(MC_MEMORY_ERROR);
  }
  MacroSetFileDataSize(length);
  MacroMallocInputMemory(length);
  udMcMemDivisor = Divisor(length * 7 / MC_MEM_BAR_FULL);
  char line[64];
  std::snprintf(line, sizeof line, "Macro length: %u Bytes", static_cast<unsigned>(length));
  MacroPanelLine(line);
  McycleGo(MC_MEMORY_WINDOW);
}

// A step that walks window entries places the next request in the tick that
// saw the last one confirmed: it runs again while it stays and no request
// is on its way.
void WalkEntries(void (*step)()) {
  const uint16_t state = uwMcycleState;
  do step();
  while (uwMcycleState == state && ubCQWriteSDOState == 1);
}

}  // namespace

void McycleMemoryStateMachine() {
  if (!Supervise()) return;
  switch (uwMcycleState) {
    case MC_MEMORY_START: Start(); return;
    case MC_MEMORY_WINDOW:
      BuildWindow();
      McycleGo(MC_MEMORY_WRITE_WINDOW);
      return;
    case MC_MEMORY_WRITE_WINDOW: WalkEntries(StepWriteWindow); return;
    case MC_MEMORY_UPLOAD_FILL:
      for (int k = 0; k < 4; ++k) Entry(kEntryData + k).udData = MacroGetFileData(udMcMacDataCounter);
      McycleGo(MC_MEMORY_WRITE_BLOCK);
      return;
    case MC_MEMORY_WRITE_BLOCK: WalkEntries(StepWriteBlock); return;
    case MC_MEMORY_WAIT: {
      const uint32_t now = McTimerGetCurrentTime();
      if (now - udMcMemStamp <= kSettleMs) return;
      udMcMemDeadline = now + (memOp == MemOp::Erase ? kErasePollLimitMs : kPollLimitMs);
      McycleGo(MC_MEMORY_POLL);
      return;
    }
    case MC_MEMORY_POLL: StepPoll(); return;
    case MC_MEMORY_READ_BLOCK: WalkEntries(StepReadBlock); return;
    case MC_MEMORY_SUCCESS: Success(); return;
    case MC_MEMORY_ERROR: Failure(); return;
    case MC_MEMORY_ETH_FILL: {
      const int words = Entry(kEntryLength).udData == kEthFirstBlock ? 2 : 3;
      for (int k = 0; k < words; ++k) Entry(kEntryData + k).udData = McycleGetEthConfigData(udMcMacDataCounter);
      McycleGo(MC_MEMORY_WRITE_BLOCK);
      return;
    }
    case MC_MEMORY_ETH_INVALID: InvalidEthernetData(); return;
    case MC_MEMORY_DOWNLOAD_START: StepDownloadStart(); return;
    case MC_MEMORY_ERASE_START: {
      const uint8_t rc = McycleWriteObject(CTRL_OBJ_COMMAND, 0, 2, MC_MEM_CMD_ERASE, 0);
      if (rc == 1) return;
      if (rc == 0) return McycleGo(MC_MEMORY_ERROR);
      udMcMemStamp = McTimerGetCurrentTime();
      McycleGo(MC_MEMORY_WAIT);
      return;
    }
    default: End(); return;
  }
}

bool McycleMemoryCanStart() { return McycleEngineIdle() && !(ubMcFlag & MC_FLAG_MEMORY_TRANSFER); }

bool McycleMemoryRequest(uint8_t setBits, uint8_t clearBits) {
  if (!McycleMemoryCanStart()) return false;
  const uint8_t before = ubMcFlag;
  ubMcFlag = static_cast<uint8_t>((before & ~clearBits) | setBits | MC_FLAG_MEMORY_TRANSFER);
  if (!McycleSignalQueuePut(MC_SIG_MEMORY)) {
    ubMcFlag = before;
    return false;
  }
  if (!(setBits & MC_FLAG_MEM_MACRO) || (setBits & MC_FLAG_MEM_ETHERNET)) return true;
  const char* title = "Upload Status";
  int64_t colour = 0x00C000;
  if (setBits & MC_FLAG_MEM_ERASE) title = "Erase Status", colour = 0xFF0000;
  else if (setBits & MC_FLAG_MEM_READ) title = "Download Status", colour = 0x0000FF;
  PanelSetString(uwMcMacroLoadPanelHandle, MACRO_LOAD_TXT_STATUS, title);
  PanelSetAttribute(uwMcMacroLoadPanelHandle, MACRO_LOAD_PROGRESS, ATTR_BAR_COLOR, colour);
  PanelSetInt(uwMcMacroLoadPanelHandle, MACRO_LOAD_PROGRESS, 0);
  PanelDisplay(uwMcMacroLoadPanelHandle);
  return true;
}

int MacroLoadEventCallback(int, int, int event, void*, int eventData1, int) {
  if (event == EVENT_KEYPRESS && eventData1 == PANEL_KEY_ESC && (ubMcFlag & MC_FLAG_MEMORY_TRANSFER))
    ubMcFlag4 |= MC_FLAG4_MEMORY_ABORT;
  return 0;
}
