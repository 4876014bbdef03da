// Bits of the shared flag words ubMcFlag .. ubMcFlag5. Each flag word is an
// std::atomic<uint8_t>: panel callbacks, the tick and the timer threads set
// and clear single bits with |= and &= (atomic read-modify-write).
#pragma once
#include <cstdint>

// ubMcFlag
inline constexpr uint8_t MC_FLAG_SIGNAL_QUEUE_FULL = 0x01;
inline constexpr uint8_t MC_FLAG_MEM_READ = 0x02;          // memory machine: read direction
inline constexpr uint8_t MC_FLAG_MEM_MACRO_PANEL = 0x04;   // started from the macro panel
inline constexpr uint8_t MC_FLAG_MEM_MACRO = 0x08;         // macro memory operation
inline constexpr uint8_t MC_FLAG_MEM_ETHERNET = 0x10;      // Ethernet configuration operation
inline constexpr uint8_t MC_FLAG_MEM_ERASE = 0x40;
inline constexpr uint8_t MC_FLAG_MEMORY_TRANSFER = 0x80;

// ubMcFlag1
inline constexpr uint8_t MC_FLAG1_LINK_ESTABLISHED = 0x02;
inline constexpr uint8_t MC_FLAG1_CYCLIC_MONITOR_ON = 0x04;
inline constexpr uint8_t MC_FLAG1_SCOPE_WINDOW_SET_UP = 0x10;
inline constexpr uint8_t MC_FLAG1_TERMS_PENDING = 0x20;
inline constexpr uint8_t MC_FLAG1_TRACE_DOWNLOAD_RUNNING = 0x40;
inline constexpr uint8_t MC_FLAG1_EVALUATION_OPEN = 0x80;

// ubMcFlag2
inline constexpr uint8_t MC_FLAG2_RAMTYPE_PANEL_OPEN = 0x01;
inline constexpr uint8_t MC_FLAG2_CYCLIC_READ_IN_PROGRESS = 0x04;
inline constexpr uint8_t MC_FLAG2_CYCLIC_READ_DUE = 0x08;
inline constexpr uint8_t MC_FLAG2_TRACE_PRESENT = 0x10;
inline constexpr uint8_t MC_FLAG2_SCRIPT_STOP_REQUEST = 0x40;
inline constexpr uint8_t MC_FLAG2_EXPERT_MODE = 0x80;

// ubMcFlag3
inline constexpr uint8_t MC_FLAG3_TRACE_INFO_SHOWN = 0x01;
inline constexpr uint8_t MC_FLAG3_SCOPE_TRANSMISSION_ERROR = 0x02;
inline constexpr uint8_t MC_FLAG3_ANALOG_SHOWN = 0x04;
inline constexpr uint8_t MC_FLAG3_FW_P0417 = 0x08;
inline constexpr uint8_t MC_FLAG3_BATCH_MODE = 0x20;
inline constexpr uint8_t MC_FLAG3_ETHERNET_READ = 0x40;   // Ethernet configuration: read the target
inline constexpr uint8_t MC_FLAG3_FW_QUILL = 0x80;

// ubMcFlag4
inline constexpr uint8_t MC_FLAG4_TRACE_DOWNLOAD_ABORT = 0x01;
inline constexpr uint8_t MC_FLAG4_EXPERT_MODE = 0x02;
inline constexpr uint8_t MC_FLAG4_RAMTYPE_UNACKNOWLEDGED = 0x04;
inline constexpr uint8_t MC_FLAG4_KITHARA_TIMER = 0x08;
inline constexpr uint8_t MC_FLAG4_ALT_DIGITAL_CAPTIONS = 0x10;
inline constexpr uint8_t MC_FLAG4_SECOND_TRACE_SKIPPED = 0x20;
inline constexpr uint8_t MC_FLAG4_READY_LAMP_BLINK = 0x80;

// ubMcFlag5
inline constexpr uint8_t MC_FLAG5_QUILL_TWO_TRACES = 0x01;
inline constexpr uint8_t MC_FLAG5_SCAN_PORTS_AT_START = 0x02;
inline constexpr uint8_t MC_FLAG5_STATUS1_BIT19 = 0x04;

// Script run-time bits (command interpreter and script machine).
inline constexpr uint8_t MC_FLAG2_SCRIPT_REWIND = 0x20;   // ubMcFlag2: restart the script at its end
inline constexpr uint8_t MC_FLAG3_SCRIPT_LOG_OFF = 0x10;  // ubMcFlag3: no TX/RX lines while a script runs

// Parameter set handling (parameter panels, read-back, save and recall).
inline constexpr uint8_t MC_FLAG_WIZARD_PARM_REQUEST = 0x20;  // ubMcFlag: the macro wizard asked for the values
inline constexpr uint8_t MC_FLAG1_PARM_EXTENDED = 0x01;       // ubMcFlag1: the extended set is selected
inline constexpr uint8_t MC_FLAG1_PARM_SILENT = 0x08;         // ubMcFlag1: read back without showing
