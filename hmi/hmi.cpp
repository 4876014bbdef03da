#include "hmi/hmi.h"

#include <cstdio>
#include <cstring>
#include <mutex>

#include "app/Startup.h"
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "engine/Timer.h"
#include "platform/FileUtil.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

HiTxtSlot HiTxtQueue[HI_QUEUE_SIZE];
uint8_t ubHiQueueCounterIn;
uint8_t ubHiQueueCounterOut;
std::atomic<uint8_t> ubHiQueueCounter{0};
std::atomic<uint8_t> ubHiFlag{0};
std::atomic<uint8_t> ubHiTxtBoxPrio{' '};
uint32_t udSdoCanPtr;
uint32_t udPdoCanPtr;

namespace {

std::mutex queueLock;
std::mutex stdoutLock;

void WriteBatchLine(const char* text, uint8_t priority, uint16_t control) {
  if (control == HI_CURSOR_WAIT_ON || control == HI_CURSOR_WAIT_OFF) return;
  std::lock_guard<std::mutex> g(stdoutLock);
  std::fwrite(text, 1, std::strlen(text), stdout);
  if (priority != HI_PRIO_TEXT && priority != HI_PRIO_FRAME && priority != HI_PRIO_REPLACE) std::fputc('\n', stdout);
  std::fflush(stdout);
}

// The box whose last line is a progress line (tick only).
struct ProgressLine {
  uint16_t panel = 0;
  uint16_t control = 0;
} progressLine;

void Show(const HiTxtSlot& m) {
  switch (m.control) {
    case HI_CURSOR_WAIT_ON: PanelSetWaitCursor(true); return;
    case HI_CURSOR_WAIT_OFF: PanelSetWaitCursor(false); return;
    default: break;
  }
  const bool sameBox = progressLine.panel == m.panel && progressLine.control == m.control;
  if (m.priority == HI_PRIO_PROGRESS) {
    if (sameBox) PanelDeleteLastLine(m.panel, m.control);
    progressLine = {m.panel, m.control};
  } else if (sameBox) {
    progressLine = {};
  }
  if (m.priority == HI_PRIO_REPLACE) PanelClearText(m.panel, m.control);
  if (m.priority == HI_PRIO_TEXT || m.priority == HI_PRIO_FRAME || m.priority == HI_PRIO_REPLACE) {
    PanelAppendText(m.panel, m.control, m.text);
  } else {
    PanelAppendText(m.panel, m.control, std::string(m.text) + "\n");
  }
}

void SdoLine(const char* tag, const uint8_t* b) {
  char line[64];
  std::snprintf(line, sizeof line, "%s: %02X %02X %02X %02X %02X %02X %02X %02X\n", tag, b[0], b[1], b[2], b[3], b[4],
                b[5], b[6], b[7]);
  HmiLogWindowOut(line, uwMcMainPanelHandle, HI_PRIO_FRAME, MAIN_TXTBOX_LOG);
}

}  // namespace

void HmiInit() {
  std::lock_guard<std::mutex> g(queueLock);
  ubHiQueueCounterIn = 0;
  ubHiQueueCounterOut = 0;
  ubHiQueueCounter = 0;
  ubHiFlag = 0;
  udSdoCanPtr = 0;
  udPdoCanPtr = 0;
  for (auto& s : HiTxtQueue) {
    s.priority = 0;
    s.panel = 0;
    s.control = 0;
    std::memset(s.text, 0, 100);
  }
}

void HmiLogWindowOut(const char* text, uint16_t panel, uint8_t priority, uint16_t control) {
  if (!text) return;
  const uint8_t filter = ubHiTxtBoxPrio;
  if (filter != ' ' && priority != 0 && (priority & filter) == 0) return;
  if (ubMcFlag3 & MC_FLAG3_BATCH_MODE) {
    WriteBatchLine(text, priority, control);
    return;
  }
  {
    std::lock_guard<std::mutex> g(queueLock);
    if (ubHiFlag & 0x01) return;
    HiTxtSlot& s = HiTxtQueue[ubHiQueueCounterIn];
    std::strncpy(s.text, text, HI_TEXT_MAX);
    s.text[HI_TEXT_MAX] = '\0';
    s.priority = priority;
    s.panel = panel;
    s.control = control;
    const uint8_t count = ubHiQueueCounter + 1;
    ubHiQueueCounter = count;
    if (count >= HI_QUEUE_SIZE) ubHiFlag |= 0x01;
    ubHiQueueCounterIn = (ubHiQueueCounterIn + 1) % HI_QUEUE_SIZE;
  }
  TimerStart();
}

void HmiGetQueue() {
  HiTxtSlot m;
  {
    std::lock_guard<std::mutex> g(queueLock);
    if (ubHiQueueCounter == 0) return;
    HiTxtSlot& s = HiTxtQueue[ubHiQueueCounterOut];
    m = s;
    std::memset(&s, 0, sizeof s);
    ubHiQueueCounter = ubHiQueueCounter - 1;
    ubHiFlag &= static_cast<uint8_t>(~0x01);
    ubHiQueueCounterOut = (ubHiQueueCounterOut + 1) % HI_QUEUE_SIZE;
  }
  Show(m);
}

void HmiLogWindowSdoSendOut(uint16_t, const CqElement& element) { SdoLine("TX-SDO", element.ubTxFrame); }
void HmiLogWindowSdoRecvOut(uint16_t, const CqElement& element) { SdoLine("RX-SDO", element.ubRxFrame); }

void HmiClearLogWindow() { PanelClearText(uwMcMainPanelHandle, MAIN_TXTBOX_LOG); }

std::string HmiFileHeader(const char* prefix, const char* createdBy) {
  const std::string lines[] = {
      "*******************************************************",
      "* ",
      "* StrokeDesk - service and commissioning tool",
      "* for the RC7 drive controller of a servo-hydraulic press ram",
      "* Documentation: README.md of the StrokeDesk distribution",
      "* ",
      std::string("* ") + createdBy,
      "* Software version: " STROKEDESK_SOFTWARE_NUMBER,
      "* ",
      "*******************************************************",
      "",
  };
  std::string text;
  for (const std::string& line : lines) text += prefix + line + "\n";
  return text;
}

std::string HmiLogFileHeader() { return HmiFileHeader("", "Log-File created by StrokeDesk"); }

int HmiLogSave(const std::string& fileName) {
  std::string log;
  PanelGetString(uwMcMainPanelHandle, MAIN_TXTBOX_LOG, log);
  // Every line of the window, each followed by a line end.
  if (!log.empty() && log.back() != '\n') log += '\n';
  std::string error;
  if (FileWriteAtomically(fileName, HmiLogFileHeader() + log, error)) return 0;
  const std::string line = "Error: log file " + fileName + " not saved: " + error;
  HmiLogWindowOut(line.c_str(), uwMcMainPanelHandle, HI_PRIO_LINE, MAIN_TXTBOX_LOG);
  return 1;
}
