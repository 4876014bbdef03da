// Start-up state shared with the engine: panel handles, the batch plan and
// its end flag.
#pragma once
#include <atomic>
#include <cstdint>

inline constexpr int BATCH_PLAN_SLOTS = 5;

extern uint16_t uwMcMainPanelHandle;
extern uint16_t uwMcMacroPanelHandle;
extern uint16_t uwMcScopePanelHandle;

extern uint16_t uwMcBatchStateQueue[BATCH_PLAN_SLOTS];
extern uint8_t ubBatchStateCnt;
extern uint8_t ubBatchCounter;
// Set to 1 by the batch machine when the batch is finished; main waits on it.
extern std::atomic<uint8_t> ubBatchEnd;

// Marks the batch finished and wakes main (any thread).
void McycleBatchEndSet();
// Blocks until the batch is finished.
void McycleBatchEndWait();

inline constexpr const char* SOFTWARE_NUMBER = "S0712-22";

// "YYYY-MM-DD hh:mm - final" from the build's date and time.
const char* McycleBuildStamp();
