// Start-up state shared with the engine: panel handles, the batch plan and
// its end flag.
#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>

inline constexpr int BATCH_PLAN_SLOTS = 5;
inline constexpr size_t CTRL_CMD_PATH_BUFFER_SIZE = 260;

extern uint16_t uwMcMainPanelHandle;
extern uint16_t uwMcMacroPanelHandle;

extern uint16_t uwMcBatchStateQueue[BATCH_PLAN_SLOTS];
extern uint8_t ubBatchStateCnt;
extern uint8_t ubBatchCounter;
// Set to 1 by the batch machine when the batch is finished; main waits on it.
extern std::atomic<uint8_t> ubBatchEnd;

// Path of the script file to run (batch mode, Run script); zero-terminated.
extern char ubCtrlCmdPathBuffer[CTRL_CMD_PATH_BUFFER_SIZE];

// Marks the batch finished and wakes main (any thread).
void McycleBatchEndSet();
// Blocks until the batch is finished.
void McycleBatchEndWait();

inline constexpr const char* SOFTWARE_NUMBER = "S0712-22";

// "YYYY-MM-DD hh:mm - final" from the build's date and time.
const char* McycleBuildStamp();
