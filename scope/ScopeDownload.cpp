#include "scope/ScopeDownload.h"

#include <cstring>

#include "app/Startup.h"
#include "comm/ComQueue.h"
#include "comm/StMaUart.h"
#include "engine/Mcycle.h"
#include "engine/McycleIo.h"
#include "engine/McycleMachines.h"
#include "engine/McycleVariant.h"
#include "hmi/hmi.h"
#include "params/CtrlCmd.h"
#include "platform/SystemClock.h"
#include "scope/ScopeConvert.h"
#include "scope/ScopeDisplay.h"
#include "scope/ScopeInfoData.h"
#include "scope/scope.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

uint16_t uwMcScopeBlockAnz;
uint16_t uwMcScopeBlockCnt;
uint16_t uwMcScopeBlockDataLength;

namespace {

constexpr size_t kBlockBuffer = 500;           // block data and its CRC
constexpr uint32_t kMaxBlockBytes = kBlockBuffer - 2;
constexpr uint32_t kBlockDeadlineMs = 5000;
constexpr uint8_t kBlockAttempts = 4;
constexpr uint8_t kBlockCrcMismatch = 5;       // CqReadBlock on links 3 and 4
constexpr uint16_t kBlockCommand = 0x1000;     // + block number, to the command object
constexpr uint32_t kMaxBlocks = 0xFFFF - kBlockCommand + 1;
constexpr size_t kFirstRecords = 150;          // records held before the geometry is known
constexpr uint16_t kP0417Frames = 150;
constexpr uint8_t kDivisorStart = 14;          // transfers per progress step
constexpr uint8_t kDivisorSkipped = 9;
constexpr uint8_t kDivisorP0417 = 5;
constexpr int64_t kProgressGreen = 0x00FF00;

// Scope-data container entries.
constexpr int kFrameLengthEntry = 0;
constexpr int kFramesPerBlockEntry = 1;
constexpr int kFramesEntry = 2;
constexpr int kStatusEntry = 3;
constexpr int kStatus2Entry = 4;
constexpr int kSampleTime2Entry = 5;
constexpr int kFrames2Entry = 6;
constexpr int kPressureEntry = 7;  // ANA0 .. ANA2 at 20 mA, 1/100 bar

// Log-data entries whose read may fail without ending the download.
constexpr int kLogTolerated[] = {1, 6};
constexpr int kLogEntryFw9 = 29;      // missing before firmware revision 10
constexpr int kLogExtOptional = 15;   // extended entries from here on are optional

constexpr const char* kPressureCaptions[3] = {"Press HP [%d Bar]", "Press LP [%d Bar]", "Press A1 [%d Bar]"};

uint8_t ubBlock[kBlockBuffer];
uint16_t uwElement;       // container entry being read
uint16_t uwTransfers;     // completed transfers of this download
uint16_t uwProgress;      // steps shown on the progress indicator
uint8_t ubDivisor;
uint8_t ubRetry;          // failed reads of the current block
uint32_t udDeadline;      // engine time by which the current block must be in
uint32_t udLastCall;      // engine time of the previous step, for udScopeTime

uint8_t Step() { return static_cast<uint8_t>(uwMcycleState & 0xFF); }

bool P0417() { return ubMcFlag3 & MC_FLAG3_FW_P0417; }
bool Quill() { return ubMcFlag3 & MC_FLAG3_FW_QUILL; }
bool QuillTwoTraces() { return ubMcFlag5 & MC_FLAG5_QUILL_TWO_TRACES; }
bool Batch() { return ubMcFlag3 & MC_FLAG3_BATCH_MODE; }
uint16_t FirmwareMinor() { return static_cast<uint16_t>(udScopeFwVersion & 0xFFFF); }

uint32_t ScopeEntry(int e) { return sScopeDataContainer.entries[e].udData; }
uint16_t ScopeEntry16(int e) { return static_cast<uint16_t>(ScopeEntry(e)); }
uint16_t LogEntry16(int e) { return static_cast<uint16_t>(sLogDataContainer.entries[e].udData); }

void ClearBit(std::atomic<uint8_t>& flags, uint8_t bit) { flags &= static_cast<uint8_t>(~bit); }
void Hold(bool on) {
  if (on) ubCqFlag |= CQ_FLAG_HOLD;
  else ClearBit(ubCqFlag, CQ_FLAG_HOLD);
}

void WaitCursor(bool on) {
  HmiLogWindowOut("", uwMcMainPanelHandle, HI_PRIO_LINE, on ? HI_CURSOR_WAIT_ON : HI_CURSOR_WAIT_OFF);
}
void DimPanels(bool dimmed) {
  PanelSetDimmed(uwMcMainPanelHandle, dimmed);
  PanelSetDimmed(uwMcScopePanelHandle, dimmed);
}

size_t RecordsOf(uint32_t frames) { return static_cast<size_t>(frames) + scScope[0].uwFramesPerBlock; }

enum class Walk { Pending, Done, Failed };

// Reads entries uwElement .. last of `c`, storing each value; the next read
// starts in the tick the previous one is answered.
Walk ReadWalk(CtrlCmdContainer& c, int last) {
  while (uwElement <= last) {
    const uint8_t rc = McycleReadEntry(c.entries[uwElement], 0);
    if (rc == 1) return Walk::Pending;
    if (rc == 0) return Walk::Failed;
    c.entries[uwElement].udData = cqCanData.udData;
    ++uwTransfers;
    ++uwElement;
  }
  return Walk::Done;
}

void TransmissionError() {
  uwElement = 0;
  ubMcFlag3 |= MC_FLAG3_SCOPE_TRANSMISSION_ERROR;
  McycleGo(MC_SCOPE_UNFREEZE);
}

// Which object the controller did not answer, before the error report.
void RequestFailed(const char* what, uint16_t index, uint8_t sub) {
  McycleLogf("Scope: %s %04X[%02X] failed", what, index, sub);
  TransmissionError();
}
void ReadFailed(const CtrlCmdContainer& c) {
  const CtrlCmdEntry& e = c.entries[uwElement];
  RequestFailed("reading", e.uwIndex, e.ubSubIndex);
}

// --- Step 0x00 ---------------------------------------------------------------------
void Start() {
  McycleGetCyclicDataStateMachine(MC_SIG_CYCLIC_ABORT);
  CqClearRxQueue(iStMaComChan);
  ClearBit(ubMcFlag3, MC_FLAG3_SCOPE_TRANSMISSION_ERROR);
  ClearBit(ubMcFlag4, MC_FLAG4_TRACE_DOWNLOAD_ABORT);
  // The record is replaced: nothing of the previous trace is shown meanwhile.
  ClearBit(ubMcFlag2, MC_FLAG2_TRACE_PRESENT);
  ubMcFlag1 |= MC_FLAG1_TRACE_DOWNLOAD_RUNNING;
  uwTransfers = 0;
  uwProgress = 0;
  ubDivisor = kDivisorStart;
  ubRetry = 0;
  WaitCursor(true);
  DimPanels(true);
  PanelSetInt(uwMcDownloadPanelHandle, DOWNLOAD_PROGRESS, 0);
  PanelSetAttribute(uwMcDownloadPanelHandle, DOWNLOAD_PROGRESS, ATTR_BAR_COLOR, kProgressGreen);
  PanelDisplay(uwMcDownloadPanelHandle);
  McycleLog("");
  for (ScopeTraceDesc& t : scScope.trace) {
    t.uwFrames = 0;
    t.udStatus = 0;
    ScopeFramesReplace(t, kFirstRecords);
  }
  ScopeRawReplace(kFirstRecords);
  uwElement = 0;
  McycleGo(MC_SCOPE_GEOMETRY);
}

// --- Trace geometry (end of step 0x23) ---------------------------------------------

uint32_t Blocks(uint32_t frames, uint16_t perBlock) { return (frames + perBlock - 1) / perBlock; }

// Values from the controller that no download can work with; 0 when none.
const char* BadGeometry(uint32_t blocks) {
  const ScopeTraceDesc& t = scScope[0];
  if (t.uwFramesPerBlock == 0) return "no frames per block";
  if (t.uwFrameLength < SCOPE_RAW_BYTES) return "frame length below 16";
  if (static_cast<uint32_t>(t.uwFrameLength) * t.uwFramesPerBlock > kMaxBlockBytes) return "block too long";
  if (blocks > kMaxBlocks) return "too many blocks";
  return nullptr;
}

bool ReadsExtendedHeader() { return !P0417() && !Quill() && FirmwareMinor() > 10; }

// The progress bar ends where a download without repeats ends: one step
// more than its transfers divided by the divisor.
void ShowProgressRange() {
  int transfers = CtrlCmdLogWalkLength(sScopeDataContainer) + 1 + sParamRdContainer.ubLastEntry +
                  CtrlCmdLogWalkLength(sLogDataContainer) + 1 + 2 * uwMcScopeBlockAnz;
  if (ReadsExtendedHeader()) transfers += CtrlCmdLogWalkLength(sLogExtDataContainer);
  const int steps = transfers / (P0417() ? kDivisorP0417 : ubDivisor) + 1;
  PanelSetAttribute(uwMcDownloadPanelHandle, DOWNLOAD_PROGRESS, ATTR_MAX_VALUE, steps);
}

// Sets the descriptors and buffers from the scope data. False when the
// geometry is unusable or no memory is left (said in the log).
bool Geometry() {
  ScopeTraceDesc& first = scScope[0];
  ScopeTraceDesc& second = scScope[1];
  first.uwFrameLength = ScopeEntry16(kFrameLengthEntry);
  first.uwFramesPerBlock = ScopeEntry16(kFramesPerBlockEntry);
  first.uwFrames = P0417() ? kP0417Frames : ScopeEntry16(kFramesEntry);
  uwMcScopeBlockCnt = 0;
  ClearBit(ubMcFlag4, MC_FLAG4_SECOND_TRACE_SKIPPED);
  const uint16_t perBlock = first.uwFramesPerBlock;
  const bool twoTraces = Quill() ? QuillTwoTraces() : !P0417() && sScopeDataContainer.ubLastEntry > 2;
  uint32_t frames = first.uwFrames;
  ubScopeNumOfTraces = twoTraces ? 2 : 1;
  if (twoTraces) {
    first.udStatus = ScopeEntry(kStatusEntry);
    second.uwFrameLength = first.uwFrameLength;
    second.uwFramesPerBlock = perBlock;
    second.udStatus = ScopeEntry(kStatus2Entry);
    second.uwPostTrg = first.uwPostTrg;
    second.uwFrames = ScopeEntry16(kFrames2Entry);
    second.uwSampleTime = ScopeEntry16(kSampleTime2Entry);
    const uint32_t running = SCOPE_STATUS_BACKWARD | SCOPE_STATUS_RUNNING;
    if ((second.udStatus & running) == running) {
      ubMcFlag4 |= MC_FLAG4_SECOND_TRACE_SKIPPED;
      ubDivisor = kDivisorSkipped;
    } else {
      frames += second.uwFrames;
    }
    McycleSetCheckTrace2Menu(second.uwSampleTime, second.udStatus);
  } else if (Quill()) {
    first.udStatus = ScopeEntry(kStatusEntry);
  }
  const uint32_t blocks = perBlock ? Blocks(frames, perBlock) : 0;
  if (const char* why = BadGeometry(blocks)) {
    McycleLogf("Scope: bad trace geometry (%s): frame length %u, frames per block %u, frames %u", why,
               static_cast<unsigned>(first.uwFrameLength), static_cast<unsigned>(perBlock),
               static_cast<unsigned>(frames));
    return false;
  }
  uwMcScopeBlockAnz = static_cast<uint16_t>(blocks);
  // Each array has a block's worth of spare records; the raw buffer holds
  // the fetched traces one after the other.
  const bool skipped = ubMcFlag4 & MC_FLAG4_SECOND_TRACE_SKIPPED;
  size_t raw = RecordsOf(first.uwFrames);
  bool ok = ScopeFramesReplace(first, raw);
  if (twoTraces) {
    ok = ScopeFramesReplace(second, RecordsOf(second.uwFrames)) && ok;
    if (!skipped) raw += RecordsOf(second.uwFrames);
  } else {
    ScopeFramesReplace(second, 0);
    second.uwFrames = 0;
  }
  if (!ScopeRawReplace(raw) || !ok) {
    McycleLog("Scope: not enough memory for the trace");
    return false;
  }
  ShowProgressRange();
  return true;
}

void StepGeometry() {
  const Walk w = ReadWalk(sScopeDataContainer, sScopeDataContainer.ubLastEntry);
  if (w == Walk::Pending) return;
  if (w == Walk::Failed) {
    ReadFailed(sScopeDataContainer);
    return;
  }
  if (!Geometry()) {
    TransmissionError();
    return;
  }
  if (scScope[0].uwFrames == 0) {
    McycleLog("Scope: the controller holds no trace (0 frames)");
    uwElement = 0;
    McycleGo(MC_SCOPE_UNFREEZE);
    return;
  }
  uwElement = 0;
  McycleGo(P0417() ? MC_SCOPE_READ_BACK : MC_SCOPE_SEEK_POS);
}

// --- Header reads --------------------------------------------------------------------------

void StepCommand(int entry, uint16_t next, bool counts) {
  const CtrlCmdEntry& e = sCmdContainer.entries[entry];
  const uint8_t rc = McycleWriteEntry(e, 0);
  if (rc == 1) return;
  if (rc == 0) {
    RequestFailed("writing", e.uwIndex, e.ubSubIndex);
    return;
  }
  if (counts) ++uwTransfers;
  uwElement = 0;
  McycleGo(next);
}

void StepParameters() {
  // The take-parameter entry (ubLastEntry) is not read.
  const Walk w = ReadWalk(sParamRdContainer, sParamRdContainer.ubLastEntry - 1);
  if (w == Walk::Pending) return;
  if (w == Walk::Failed) {
    ReadFailed(sParamRdContainer);
    return;
  }
  uwElement = 0;
  McycleGo(MC_SCOPE_LOG_DATA);
}

// What a failed read of a header entry means: the entry is skipped (its
// value stays), the walk ends there, or the download fails.
enum class OnFailure { Skip, End, Fail };

OnFailure LogDataFailure(int entry) {
  for (int e : kLogTolerated)
    if (e == entry) return OnFailure::Skip;
  return entry == kLogEntryFw9 && !P0417() && FirmwareMinor() < 10 ? OnFailure::End : OnFailure::Fail;
}

OnFailure LogExtDataFailure(int entry) { return entry < kLogExtOptional ? OnFailure::Fail : OnFailure::Skip; }

// Reads the header container `c` to its last entry. True when the walk is
// over; false while it runs or after it failed (the error path taken).
bool HeaderWalk(CtrlCmdContainer& c, OnFailure (*onFailure)(int entry)) {
  for (;;) {
    const Walk w = ReadWalk(c, c.ubLastEntry);
    if (w == Walk::Pending) return false;
    if (w == Walk::Done) break;
    const OnFailure f = onFailure(uwElement);
    if (f == OnFailure::End) break;
    if (f == OnFailure::Fail) {
      ReadFailed(c);
      return false;
    }
    ++uwElement;
  }
  uwElement = 0;
  return true;
}

void StepLogData() {
  if (HeaderWalk(sLogDataContainer, LogDataFailure))
    McycleGo(ReadsExtendedHeader() ? MC_SCOPE_LOG_EXT_DATA : MC_SCOPE_HEADER);
}

void StepLogExtData() {
  if (HeaderWalk(sLogExtDataContainer, LogExtDataFailure)) McycleGo(MC_SCOPE_HEADER);
}

// --- Step 0x0D: header values and the trigger path ------------------------------------------

void CopyHeader() {
  uwScopeStatus0 = LogEntry16(0);
  uwScopeMode0 = LogEntry16(1);
  uwScopeMode1 = LogEntry16(2);
  uwScopeRampos = LogEntry16(3);
  uwScopeMotpos = LogEntry16(4);
  uwScopeLmsResol = LogEntry16(5);
  uwScopeMotResol = LogEntry16(6);
  scScope[0].uwSampleTime = LogEntry16(8);
  uwScopeRamtype = LogEntry16(9);
  if (!P0417()) {
    udScopeStatus1 = sLogDataContainer.entries[10].udData;
    uwScopePostTrgTime = scScope[0].uwPostTrg = scScope[1].uwPostTrg = LogEntry16(11);
    udScopeBootVersion = sLogDataContainer.entries[14].udData;
  }
  for (int i = 0; i < SCOPE_KVO_WORDS; ++i) stRC6Kvo[i] = static_cast<uint16_t>(sParamRdContainer.entries[i].udData);
  // POS2 and POS5 (parameter words 1 and 4) are the evaluation's reference
  // positions, in the trace's units: mirrored like the Quill's positions.
  for (ScopeTraceDesc& t : scScope.trace) {
    t.uwPos2 = Quill() ? static_cast<uint16_t>(8000 - stRC6Kvo[1]) : stRC6Kvo[1];
    t.uwPos5 = Quill() ? static_cast<uint16_t>(8000 - stRC6Kvo[4]) : stRC6Kvo[4];
  }
  if (P0417() || Quill()) return;
  const bool alternative = McycleRamtypeAltGroup(uwScopeRamtype);
  if (alternative) ubMcFlag4 |= MC_FLAG4_ALT_DIGITAL_CAPTIONS;
  else ClearBit(ubMcFlag4, MC_FLAG4_ALT_DIGITAL_CAPTIONS);
  if (ubMcFlag4 & MC_FLAG4_EXPERT_MODE) McycleSetSignalCaptions(alternative);
}

void BacktraceNotStopped() {
  if (Batch()) {
    McycleSay("\nBacktrace not stopped!\n");
  } else {
    McycleLog("Scope: Backward trigger - not stopped");
    ScopePlotMessage("Backtrace is running ...");
    McycleSetTriggerRing(SCOPE_STATUS_BACKWARD);
  }
  McycleGo(MC_SCOPE_END);
}

void StepHeader() {
  CopyHeader();
  const uint32_t status = scScope[0].udStatus;
  uwElement = 0;
  // A Quill controller tells a backtrace that still runs by bit 0x0040; it
  // is never fetched directly.
  const bool backward = !P0417() && (Quill() ? (status & SCOPE_STATUS_QUILL_RUNNING) : (status & SCOPE_STATUS_BACKWARD));
  const bool running = Quill() || (status & SCOPE_STATUS_RUNNING);
  if (!backward) {
    McycleLog("Scope: Forward trigger");
    McyclePush(MC_SCOPE_FROZEN);
    ubFreezeSwitch = 0;
    ubFreezeChan = 1;
    McycleGo(MC_FREEZE_START);
  } else if (!running) {
    McycleLog("Scope: Backward trigger");
    McycleGo(MC_SCOPE_BLOCK_REQUEST);
  } else {
    BacktraceNotStopped();
  }
}

// --- The block loop ----------------------------------------------------------------------------
// A block costs two ticks: its request goes out in the tick the previous
// block is copied, and the block is taken in the tick its request is
// answered.

void CopyBlock() {
  const ScopeTraceDesc& t = scScope[0];
  const size_t base = static_cast<size_t>(uwMcScopeBlockCnt) * t.uwFramesPerBlock;
  for (size_t f = 0; f < t.uwFramesPerBlock; ++f)
    if (uint8_t* slot = ScopeRawSlot(base + f)) std::memcpy(slot, ubBlock + f * t.uwFrameLength, SCOPE_RAW_BYTES);
}

bool AbortRequested() {
  if (!(ubMcFlag4 & MC_FLAG4_TRACE_DOWNLOAD_ABORT)) return false;
  ClearBit(ubMcFlag4, MC_FLAG4_TRACE_DOWNLOAD_ABORT);
  McycleGo(MC_SCOPE_UNFREEZE);
  return true;
}

// Step 0x19. True once the request is answered (now at step 0x1A).
bool RequestBlock() {
  const uint8_t rc =
      McycleWriteObject(CTRL_OBJ_COMMAND, 0, 2, static_cast<uint32_t>(kBlockCommand + uwMcScopeBlockCnt), 0);
  if (rc == 1) return false;
  if (rc == 0) {
    RequestFailed("writing", CTRL_OBJ_COMMAND, 0);
    return false;
  }
  ++uwTransfers;
  Hold(true);
  udDeadline = McTimerGetCurrentTime() + kBlockDeadlineMs;
  McycleGo(MC_SCOPE_BLOCK_RECEIVE);
  return true;
}

// Steps 0x1A and 0x1B. True when the next block is to be requested (now at
// step 0x19).
bool ReceiveBlock() {
  const ScopeTraceDesc& t = scScope[0];
  uwMcScopeBlockDataLength = static_cast<uint16_t>(t.uwFrameLength * t.uwFramesPerBlock);
  const uint8_t rc = CqReadBlock(static_cast<uint8_t>(iStMaComChan), ubBlock, uwMcScopeBlockDataLength);
  if (rc == 0) {
    ++uwTransfers;
    Hold(false);
    ubRetry = 0;
    CopyBlock();
    if (AbortRequested()) return false;
    if (++uwMcScopeBlockCnt < uwMcScopeBlockAnz) {
      McycleGo(MC_SCOPE_BLOCK_REQUEST);
      return true;
    }
    McycleGo(MC_SCOPE_CONVERT);
    return false;
  }
  // A block with a wrong check-sum was taken from the link whole: nothing
  // more of it will come, so it is asked for again at once.
  if (rc == 1 || rc == kBlockCrcMismatch) {
    Hold(false);
    if (AbortRequested()) return false;
    if (++ubRetry < kBlockAttempts) {
      McycleGo(MC_SCOPE_BLOCK_REQUEST);
      return true;
    }
    ubRetry = 0;
    McycleLogf("Scope: block %u bad %u times", static_cast<unsigned>(uwMcScopeBlockCnt),
               static_cast<unsigned>(kBlockAttempts));
    TransmissionError();
    return false;
  }
  if (McTimeAfter(McTimerGetCurrentTime(), udDeadline)) {
    Hold(false);
    if (AbortRequested()) return false;
    McycleLogf("Scope: block %u not received within %u ms", static_cast<unsigned>(uwMcScopeBlockCnt),
               static_cast<unsigned>(kBlockDeadlineMs));
    TransmissionError();
  }
  return false;
}

// --- Conversion and display ---------------------------------------------------------------------

void SetTraceSelector(bool enabled) {
  PanelSetAttribute(uwMcScopePanelHandle, SCOPE_RING_TRACE, ATTR_DIMMED, enabled ? 0 : 1);
  if (enabled) return;
  // One trace: it is the one shown and triggered.
  PanelSetInt(uwMcScopePanelHandle, SCOPE_RING_TRACE, 0);
  ClearBit(ubScopeFlag, SCOPE_FLAG_SECOND_TRACE);
}

// The PC's date and time and the header block belong to the trace, shown
// or not: a script saves the trace of a download that drew nothing.
void StampTrace() {
  int month = 0, day = 0, year = 0, hour = 0, minute = 0, second = 0;
  GetSystemDate(&month, &day, &year);
  GetSystemTime(&hour, &minute, &second);
  udScopeDateYear = static_cast<uint32_t>(year);
  udScopeDateMonth = static_cast<uint32_t>(month);
  udScopeDateDay = static_cast<uint32_t>(day);
  udScopeTimeHour = static_cast<uint32_t>(hour);
  udScopeTimeMin = static_cast<uint32_t>(minute);
  udScopeTimeSec = static_cast<uint32_t>(second);
  ScopeCopyInfoData();
}

void StepConvert() {
  ScopeConvertDownload();
  SetTraceSelector(scScope[0].ubFileFormat == SCOPE_FORMAT_P0528);
  ubMcFlag2 |= MC_FLAG2_TRACE_PRESENT;
  StampTrace();
  McycleGo((ubMcFlag1 & MC_FLAG1_SCOPE_WINDOW_SET_UP) ? MC_SCOPE_SHOW : MC_SCOPE_UNFREEZE);
}

void StepShow() {
  if (P0417()) ubScopeFlag |= SCOPE_FLAG_P0417_TRACE;
  else ClearBit(ubScopeFlag, SCOPE_FLAG_P0417_TRACE);
  if (!P0417() && !Quill()) {
    // Each channel's caption with its own full scale.
    char caption[32];
    for (int i = 0; i < 3; ++i) {
      std::snprintf(caption, sizeof caption, kPressureCaptions[i], static_cast<int>(ScopeEntry(kPressureEntry + i) / 100));
      PanelSetString(uwMcScopePanelHandle, SCOPE_TXT_ANALOG_0 + i, caption);
    }
  }
  ScopeTraceDisplay(0);
  // Only a stopped backtrace was fetched without a freeze.
  const bool frozen = P0417() || Quill() || !(scScope[0].udStatus & SCOPE_STATUS_BACKWARD);
  McycleGo(frozen ? MC_SCOPE_UNFREEZE : MC_SCOPE_END);
}

// --- Ends -----------------------------------------------------------------------------------------

void StepUnfreeze() {
  McyclePush(MC_SCOPE_UNFROZEN);
  ubFreezeSwitch = 1;
  ubFreezeChan = 1;
  McycleGo(MC_FREEZE_START);
}

void EndPanels() {
  ClearBit(ubMcFlag1, MC_FLAG1_TRACE_DOWNLOAD_RUNNING);
  DimPanels(false);
  PanelHide(uwMcDownloadPanelHandle);
  Hold(false);
}

void StepEnd() {
  WaitCursor(false);
  EndPanels();
  McycleLogf("Scope: Download time: %d ms\n", static_cast<int>(udScopeTime));
  McycleGo(MC_STATE_IDLE);
}

void StepErrorReport() {
  ClearBit(ubMcFlag3, MC_FLAG3_SCOPE_TRANSMISSION_ERROR);
  EndPanels();
  ScopeClear();
  ScopePlotMessage("ERROR: Scope Transmission Error");
  McycleLog("ERROR: Scope Transmission Error");
  WaitCursor(false);
  McycleGo(MC_STATE_IDLE);
}

void AdvanceProgress() {
  const uint8_t divisor = P0417() ? kDivisorP0417 : ubDivisor;
  if (uwProgress > uwTransfers / divisor) return;
  ++uwProgress;
  PanelSetInt(uwMcDownloadPanelHandle, DOWNLOAD_PROGRESS, uwProgress);
}

}  // namespace

void McycleGetScopeDataStateMachine(uint8_t code) {
  if (code == MC_SCOPE_ABORT_ENTRY) {
    McycleLog("Scope: Download aborded (ESC)");
    ubMcFlag4 |= MC_FLAG4_TRACE_DOWNLOAD_ABORT;
    return;
  }
  // The download time counts engine milliseconds, whatever the tick's period.
  const uint32_t now = McTimerGetCurrentTime();
  if (Step() != 0) {
    AdvanceProgress();
    udScopeTime += now - udLastCall;
  }
  udLastCall = now;
  switch (uwMcycleState) {
    case MC_SCOPE_DOWNLOAD_START: Start(); return;
    case MC_SCOPE_GEOMETRY: StepGeometry(); return;
    case MC_SCOPE_SEEK_POS: StepCommand(CTRL_CMD_SEEK_POS1_ABS, MC_SCOPE_READ_BACK, false); return;
    case MC_SCOPE_READ_BACK: StepCommand(CTRL_CMD_PARM_READBACK, MC_SCOPE_PARAMETERS, true); return;
    case MC_SCOPE_PARAMETERS: StepParameters(); return;
    case MC_SCOPE_LOG_DATA: StepLogData(); return;
    case MC_SCOPE_LOG_EXT_DATA: StepLogExtData(); return;
    case MC_SCOPE_HEADER: StepHeader(); return;
    case MC_SCOPE_FROZEN:
      McycleLog("Scope: Trigger freeze");
      ++uwTransfers;
      McycleLog("Scope: downloading ...");
      McycleGo(MC_SCOPE_BLOCK_REQUEST);
      [[fallthrough]];
    case MC_SCOPE_BLOCK_REQUEST:
      if (RequestBlock() && ReceiveBlock()) RequestBlock();
      return;
    case MC_SCOPE_BLOCK_RECEIVE:
      if (ReceiveBlock()) RequestBlock();
      return;
    case MC_SCOPE_CONVERT: StepConvert(); return;
    case MC_SCOPE_SHOW: StepShow(); return;
    case MC_SCOPE_UNFREEZE: StepUnfreeze(); return;
    case MC_SCOPE_UNFROZEN:
      McycleLog("Scope: Trigger unfreeze");
      McycleGo((ubMcFlag3 & MC_FLAG3_SCOPE_TRANSMISSION_ERROR) ? MC_SCOPE_ERROR_REPORT : MC_SCOPE_END);
      return;
    case MC_SCOPE_END: StepEnd(); return;
    case MC_SCOPE_ERROR: TransmissionError(); return;
    case MC_SCOPE_ERROR_REPORT: StepErrorReport(); return;
    default:
      // A step this machine does not have: end as after an error, so the
      // link and the panels are given back.
      TransmissionError();
      return;
  }
}
