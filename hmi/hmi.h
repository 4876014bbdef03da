// Message log window: a queue of 100 text slots filled from any thread and
// drained one slot per engine tick into the main panel's log text box. In
// batch mode (no panels) lines go straight to standard output, in order and
// without loss.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>

struct CqElement;

inline constexpr int HI_QUEUE_SIZE = 100;
inline constexpr int HI_TEXT_MAX = 255;

// Priorities: 0 ordinary line (a line end is added), 4 text as it is,
// 128 frame dump (ends with its own line end), 16 replaces the whole box.
inline constexpr uint8_t HI_PRIO_LINE = 0;
inline constexpr uint8_t HI_PRIO_TEXT = 4;
inline constexpr uint8_t HI_PRIO_REPLACE = 16;
inline constexpr uint8_t HI_PRIO_FRAME = 128;
// A progress line: replaces the box's last line when that is the progress
// line shown before, else starts a new one (a line end is added).
inline constexpr uint8_t HI_PRIO_PROGRESS = 64;
// Control codes that switch the wait cursor instead of showing text.
inline constexpr uint16_t HI_CURSOR_WAIT_ON = 0xFF00;
inline constexpr uint16_t HI_CURSOR_WAIT_OFF = 0xFF01;

struct HiTxtSlot {
  char text[HI_TEXT_MAX + 1];
  uint8_t priority;
  uint16_t panel;
  uint16_t control;
};

extern HiTxtSlot HiTxtQueue[HI_QUEUE_SIZE];
extern uint8_t ubHiQueueCounterIn;
extern uint8_t ubHiQueueCounterOut;
extern std::atomic<uint8_t> ubHiQueueCounter;
extern std::atomic<uint8_t> ubHiFlag;
// Priority filter; ' ' means none.
extern std::atomic<uint8_t> ubHiTxtBoxPrio;
extern uint32_t udSdoCanPtr;
extern uint32_t udPdoCanPtr;

// Empties the queue (start step).
void HmiInit();
// Queues a message (any thread) and wakes a stopped tick. Dropped when the
// queue is full or the filter refuses its priority; cut to 255 characters.
void HmiLogWindowOut(const char* text, uint16_t panel, uint8_t priority, uint16_t control);
// Shows at most one queued message (tick only).
void HmiGetQueue();
// "TX-SDO: .." / "RX-SDO: .." lines of one queue element's payload.
void HmiLogWindowSdoSendOut(uint16_t panel, const CqElement& element);
void HmiLogWindowSdoRecvOut(uint16_t panel, const CqElement& element);
// Empties the log window.
void HmiClearLogWindow();
// Writes the header and every line of the log window to `fileName`, replacing
// it only once completely written. 0 saved; 1 failed (said in the log window).
int HmiLogSave(const std::string& fileName);
// The eleven header lines of the files the tool writes (log files, scripts,
// status logs): a frame of asterisks around the three banner lines, "*
// <createdBy>" and the software version, then an empty line; `prefix` goes
// before every line (";" makes them script comments).
std::string HmiFileHeader(const char* prefix, const char* createdBy);
// Text of the log-file header.
std::string HmiLogFileHeader();

// --- operator helpers ---------------------------------------------------------

// Appends `text` to the log window at once, without the queue: start-up texts
// and panel callbacks on the GUI thread.
void HmiLogDirect(const std::string& text);
// A yes/no question; true when the operator confirms. Without panels: false.
bool HmiYesNoMessageBox(const char* title, const char* message);
// A message with one button; true when the box could not be shown (no panels).
bool HmiOkMessageBox(const char* title, const char* message);
// Undim / dim one control.
void HmiButtonActive(uint16_t panel, uint16_t control);
void HmiButtonDeactive(uint16_t panel, uint16_t control);
// Undim / dim the nineteen operation controls of the main panel: the ones
// that start a controller command.
void HmiAllButtonActive(uint16_t panel);
void HmiAllButtonDeactive(uint16_t panel);
inline constexpr int HMI_OPERATION_CONTROL_COUNT = 19;
extern const uint16_t kHmiOperationControls[HMI_OPERATION_CONTROL_COUNT];
// Deletes the last line of a text box.
void HmiDeleteTextBoxLine(uint16_t panel, uint16_t control);
