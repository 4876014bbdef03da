// The operation machines of the cycle engine: their codes (the high byte of
// the state word), their state words (code << 8 | step) and their entry
// points. A machine starts at its step 0 and ends by writing MC_STATE_IDLE
// (0x0101). The script machine's steps are in objects/ScriptMachine.h.
#pragma once
#include <cstdint>

// Machine codes, as the dispatcher selects them.
inline constexpr uint8_t MC_MACHINE_BASIC = 0x01;
inline constexpr uint8_t MC_MACHINE_TELEGRAM_LIST = 0x02;
inline constexpr uint8_t MC_MACHINE_SCRIPT = 0x06;
inline constexpr uint8_t MC_MACHINE_PARM_WRITE = 0x07;
inline constexpr uint8_t MC_MACHINE_PARM_READ = 0x08;
inline constexpr uint8_t MC_MACHINE_SCOPE_DOWNLOAD = 0x09;
inline constexpr uint8_t MC_MACHINE_IDENTIFY = 0x0A;
inline constexpr uint8_t MC_MACHINE_LINK_TEST = 0x0B;
inline constexpr uint8_t MC_MACHINE_PARM_SAVE = 0x0D;
inline constexpr uint8_t MC_MACHINE_PARM_RECALL = 0x0E;
inline constexpr uint8_t MC_MACHINE_BATCH = 0x1F;
inline constexpr uint8_t MC_MACHINE_FREEZE = 0x21;
inline constexpr uint8_t MC_MACHINE_LOGGING = 0x22;
inline constexpr uint8_t MC_MACHINE_DATE_TIME = 0x23;
inline constexpr uint8_t MC_MACHINE_MEMORY = 0x24;

// 0x02: one command of the command list (entry ubMcCmd).
inline constexpr uint16_t MC_TELEGRAM_START = 0x0200;
inline constexpr uint16_t MC_TELEGRAM_PREPARE = 0x0201;      // sample-time and ram-type values
inline constexpr uint16_t MC_TELEGRAM_SELECTOR = 0x0202;     // trigger commands: the trace selector first
inline constexpr uint16_t MC_TELEGRAM_SEND = 0x0203;
inline constexpr uint16_t MC_TELEGRAM_END = 0x0204;
inline constexpr uint16_t MC_TELEGRAM_SAMPLE_TIME = 0x0205;  // after the ram type: read the sample time
inline constexpr uint16_t MC_TELEGRAM_MODE1 = 0x0206;        // ... and mode word 1

// 0x07: write the parameter set.
inline constexpr uint16_t MC_PARM_WRITE_START = 0x0700;
inline constexpr uint16_t MC_PARM_WRITE_ENTRY = 0x0701;
inline constexpr uint16_t MC_PARM_WRITE_END = 0x0702;

// 0x08: read the parameter set back.
inline constexpr uint16_t MC_PARM_READ_START = 0x0800;
inline constexpr uint16_t MC_PARM_READ_REQUEST = 0x0801;  // the read-back command
inline constexpr uint16_t MC_PARM_READ_ENTRY = 0x0802;
inline constexpr uint16_t MC_PARM_READ_STORE = 0x0803;
inline constexpr uint16_t MC_PARM_READ_SHOW_EXTENDED = 0x0804;
inline constexpr uint16_t MC_PARM_READ_SHOW_BASIC = 0x0805;

// 0x09: trace download.
inline constexpr uint16_t MC_SCOPE_DOWNLOAD_START = 0x0900;
inline constexpr uint16_t MC_SCOPE_READ_BACK = 0x0902;    // parameter read-back request
inline constexpr uint16_t MC_SCOPE_PARAMETERS = 0x0903;   // extended parameter set
inline constexpr uint16_t MC_SCOPE_LOG_DATA = 0x0906;
inline constexpr uint16_t MC_SCOPE_HEADER = 0x090D;       // header copied, trigger path chosen
inline constexpr uint16_t MC_SCOPE_CONVERT = 0x0911;
inline constexpr uint16_t MC_SCOPE_SHOW = 0x0912;
inline constexpr uint16_t MC_SCOPE_END = 0x0913;
inline constexpr uint16_t MC_SCOPE_ERROR = 0x0916;        // transmission error: unfreeze, then report
inline constexpr uint16_t MC_SCOPE_BLOCK_REQUEST = 0x0919;
inline constexpr uint16_t MC_SCOPE_BLOCK_RECEIVE = 0x091A;
inline constexpr uint16_t MC_SCOPE_GEOMETRY = 0x0923;     // scope data container walk
inline constexpr uint16_t MC_SCOPE_FROZEN = 0x0924;       // the freeze machine returns here
inline constexpr uint16_t MC_SCOPE_UNFREEZE = 0x0925;
inline constexpr uint16_t MC_SCOPE_UNFROZEN = 0x0926;     // ... and here after the unfreeze
inline constexpr uint16_t MC_SCOPE_ERROR_REPORT = 0x0927;
inline constexpr uint16_t MC_SCOPE_SEEK_POS = 0x0928;
inline constexpr uint16_t MC_SCOPE_LOG_EXT_DATA = 0x092A;

// 0x0A: identification of the controller.
inline constexpr uint16_t MC_IDENT_START = 0x0A00;
inline constexpr uint16_t MC_IDENT_READ = 0x0A01;           // one data-container entry
inline constexpr uint16_t MC_IDENT_REOPEN = 0x0A02;         // the serial port at the next baud rate
inline constexpr uint16_t MC_IDENT_STORE = 0x0A03;
inline constexpr uint16_t MC_IDENT_SET_UP = 0x0A04;         // the variant
inline constexpr uint16_t MC_IDENT_SPEED_CHECK = 0x0A05;
inline constexpr uint16_t MC_IDENT_SPEED_COMMAND = 0x0A06;
inline constexpr uint16_t MC_IDENT_SPEED_REOPEN = 0x0A07;
inline constexpr uint16_t MC_IDENT_SPEED_VERIFY = 0x0A08;
inline constexpr uint16_t MC_IDENT_END = 0x0A09;            // waits for the ram-type acknowledgement
inline constexpr uint16_t MC_IDENT_SPEED_SETTLE = 0x0A0A;
inline constexpr uint16_t MC_IDENT_TRACE_MODES = 0x0A0B;
inline constexpr uint16_t MC_IDENT_CLOCK_WRITE = 0x0A0C;
inline constexpr uint16_t MC_IDENT_CLOCK_READ = 0x0A0D;

// 0x0B: link test.
inline constexpr uint16_t MC_LINK_TEST_START = 0x0B00;
inline constexpr uint16_t MC_LINK_TEST_READ = 0x0B01;
inline constexpr uint16_t MC_LINK_TEST_VERDICT = 0x0B02;

// 0x0D: save a parameter set in the controller.
inline constexpr uint16_t MC_PARM_SAVE_START = 0x0D00;
inline constexpr uint16_t MC_PARM_SAVE_CHECK = 0x0D01;     // valid parameters to save?
inline constexpr uint16_t MC_PARM_SAVE_SEND = 0x0D03;
inline constexpr uint16_t MC_PARM_SAVE_VERIFY = 0x0D04;    // the EEPROM bits
inline constexpr uint16_t MC_PARM_SAVE_READ_BACK = 0x0D06;
inline constexpr uint16_t MC_PARM_SAVE_REPORT = 0x0D07;
inline constexpr uint16_t MC_PARM_SAVE_RAMTYPE = 0x0D08;
inline constexpr uint16_t MC_PARM_SAVE_END = 0x0D0A;

// 0x0E: recall a parameter set.
inline constexpr uint16_t MC_PARM_RECALL_START = 0x0E00;
inline constexpr uint16_t MC_PARM_RECALL_SEND = 0x0E01;
inline constexpr uint16_t MC_PARM_RECALL_SETTLE = 0x0E02;
inline constexpr uint16_t MC_PARM_RECALL_CHECK = 0x0E03;   // the EEPROM bits
inline constexpr uint16_t MC_PARM_RECALL_READ_BACK = 0x0E04;
inline constexpr uint16_t MC_PARM_RECALL_REPORT = 0x0E05;
inline constexpr uint16_t MC_PARM_RECALL_RAMTYPE = 0x0E06;
inline constexpr uint16_t MC_PARM_RECALL_END = 0x0E07;

// 0x1F: the batch plan.
inline constexpr uint16_t MC_BATCH_SLOT = 0x1F00;       // start the next slot
inline constexpr uint16_t MC_BATCH_SLOT_DONE = 0x1F01;  // its machine has returned
inline constexpr uint16_t MC_BATCH_END = 0x1F02;

// 0x21: trace freeze and unfreeze.
inline constexpr uint16_t MC_FREEZE_START = 0x2100;
inline constexpr uint16_t MC_FREEZE_SELECT = 0x2101;
inline constexpr uint16_t MC_FREEZE_FREEZE = 0x2102;
inline constexpr uint16_t MC_FREEZE_UNFREEZE = 0x2104;
inline constexpr uint16_t MC_FREEZE_DONE = 0x2105;
inline constexpr uint16_t MC_FREEZE_FAILED = 0x2106;

// 0x22: the controller's communication logging.
inline constexpr uint16_t MC_LOGGING_ON = 0x2200;
inline constexpr uint16_t MC_LOGGING_ON_SEND = 0x2201;
inline constexpr uint16_t MC_LOGGING_ON_SHOW = 0x2202;
inline constexpr uint16_t MC_LOGGING_OFF = 0x2203;
inline constexpr uint16_t MC_LOGGING_OFF_SEND = 0x2204;
inline constexpr uint16_t MC_LOGGING_END = 0x2205;

// 0x23: the controller's date and time.
inline constexpr uint16_t MC_DATE_TIME_START = 0x2300;
inline constexpr uint16_t MC_DATE_TIME_READ = 0x2301;
inline constexpr uint16_t MC_DATE_TIME_SHOWN = 0x2302;
inline constexpr uint16_t MC_DATE_TIME_FAILED = 0x2303;

// 0x24: memory transfer through the 0x2319 window (engine/McycleMemory.h).
inline constexpr uint16_t MC_MEMORY_START = 0x2400;
inline constexpr uint16_t MC_MEMORY_WINDOW = 0x2401;        // build the window in sMemContainer
inline constexpr uint16_t MC_MEMORY_WRITE_WINDOW = 0x2402;  // address, length, (read command)
inline constexpr uint16_t MC_MEMORY_UPLOAD_FILL = 0x2403;   // next 16 bytes of the image
inline constexpr uint16_t MC_MEMORY_WRITE_BLOCK = 0x2404;   // data words and the write command
inline constexpr uint16_t MC_MEMORY_WAIT = 0x2405;          // > 100 ms before the first poll
inline constexpr uint16_t MC_MEMORY_POLL = 0x2406;          // status word 0x2319/8
inline constexpr uint16_t MC_MEMORY_READ_BLOCK = 0x2407;    // data words of a block read
inline constexpr uint16_t MC_MEMORY_SUCCESS = 0x2408;
inline constexpr uint16_t MC_MEMORY_ERROR = 0x2409;
inline constexpr uint16_t MC_MEMORY_ETH_FILL = 0x240A;      // next words of the Ethernet block
inline constexpr uint16_t MC_MEMORY_ETH_INVALID = 0x240B;
inline constexpr uint16_t MC_MEMORY_DOWNLOAD_START = 0x240C; // macro length 0x22F0/3
inline constexpr uint16_t MC_MEMORY_ERASE_START = 0x240D;

// Entry points, each called once per tick while the state word's high byte
// selects it.
void McycleTelegramlistStateMachine();                  // 0x02
void McycleWriteScriptListStateMachine();               // 0x06
void McycleWriteParameterStateMachine();                // 0x07
void McycleReadParameterStateMachine();                 // 0x08
void McycleGetScopeDataStateMachine(uint8_t mode);      // 0x09
void McycleGetFwRevisionStateMachine();                 // 0x0A
void McycleComTestStateMachine();                       // 0x0B
void McycleParmSaveStateMachine(uint16_t signal);       // 0x0D
void McycleParmRecallStateMachine(uint16_t signal);     // 0x0E
void McycleBatchModeStateMachine();                     // 0x1F
void McycleFreezeStateMachine();                        // 0x21
void McycleLoggingStateMachine();                       // 0x22
void McycleGetDateTimeStateMachine();                   // 0x23
void McycleMemoryStateMachine();                        // 0x24

// The cyclic monitor runs one step per idle tick beside the basic machine.
void McycleGetCyclicDataStateMachine(uint16_t signal);
