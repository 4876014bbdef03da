// Start-up state shared with the engine: panel handles, the batch plan and
// its end flag, the script path and the channel chosen on the command line.
#pragma once
// The selected channel (iStMaComChan) and the expert-mode response time-out
// (udCqNorlTimeout) belong to the communication modules.
#include "comm/ComQueue.h"
#include "comm/StMaUart.h"
#include <atomic>
#include <cstddef>
#include <cstdint>

inline constexpr int BATCH_PLAN_SLOTS = 5;
inline constexpr size_t CTRL_CMD_PATH_BUFFER_SIZE = 260;
inline constexpr size_t MAC_PATH_BUFFER_SIZE = 260;

// Handles of the panels, in the order start-up loads them (0: not loaded).
extern uint16_t uwMcMainPanelHandle;
extern uint16_t uwMcIntroPanelHandle;
extern uint16_t uwMcScopePanelHandle;
extern uint16_t uwMcDownloadPanelHandle;
extern uint16_t uwMcParmSavePanelHandle;
extern uint16_t uwMcParameterPanelHandle;
extern uint16_t uwMcExtParameterPanelHandle;
extern uint16_t uwMcRamtypePanelHandle;
extern uint16_t uwMcEvaluationPanelHandle;
extern uint16_t uwMcConfigPanelHandle;
extern uint16_t uwMcTraceInfoPanelHandle;
extern uint16_t uwMcAboutPanelHandle;
extern uint16_t uwMcScopeInfoPanelHandle;
extern uint16_t uwMcMacroPanelHandle;
extern uint16_t uwMcWizardPanelHandle;
extern uint16_t uwMcMacroLoadPanelHandle;
extern uint16_t uwMcMacroTestPanelHandle;
extern uint16_t uwMcScopeCommentPanelHandle;
extern uint16_t uwMcHelpPanelHandle;
extern uint16_t uwMcSavePanelHandle;

extern uint16_t uwMcBatchStateQueue[BATCH_PLAN_SLOTS];
extern uint8_t ubBatchStateCnt;
extern uint8_t ubBatchCounter;
// Set to 1 by the batch machine when the batch is finished; main waits on it.
extern std::atomic<uint8_t> ubBatchEnd;

// Path of the script file to run (batch mode, Run script); zero-terminated.
extern char ubCtrlCmdPathBuffer[CTRL_CMD_PATH_BUFFER_SIZE];
// Macro path buffer (260 bytes), allocated and zeroed at start-up.
extern char* ubPtrMacPath;

// Marks the batch finished and wakes main (any thread).
void McycleBatchEndSet();
// Blocks until the batch is finished.
void McycleBatchEndWait();

// The software number of the banner and title; the build sets it from the
// project version.
inline constexpr const char* SOFTWARE_NUMBER = STROKEDESK_SOFTWARE_NUMBER;

// "YYYY-MM-DD hh:mm - final" from the build's date and time.
const char* McycleBuildStamp();
// The main panel's title: our name, " - StrokeDesk   Rev. ", the software
// number, four blanks and the build stamp.
const char* McycleMainTitle();
