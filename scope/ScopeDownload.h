// Trace download (machine 0x09) and trigger freeze (machine 0x21): the
// geometry and header objects are read, the trigger is frozen, the scope
// memory fetched block by block, the frames converted and shown, and the
// trigger unfrozen again. Both machines run in the tick
// (McycleGetScopeDataStateMachine and McycleFreezeStateMachine of
// engine/McycleMachines.h).
#pragma once
#include <cstdint>

// State words of the download machine.
inline constexpr uint16_t MC_SCOPE_START = 0x0900;
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
inline constexpr uint16_t MC_SCOPE_BLOCK_NEXT = 0x091B;
inline constexpr uint16_t MC_SCOPE_GEOMETRY = 0x0923;     // scope data container walk
inline constexpr uint16_t MC_SCOPE_FROZEN = 0x0924;       // the freeze machine returns here
inline constexpr uint16_t MC_SCOPE_UNFREEZE = 0x0925;
inline constexpr uint16_t MC_SCOPE_UNFROZEN = 0x0926;     // ... and here after the unfreeze
inline constexpr uint16_t MC_SCOPE_ERROR_REPORT = 0x0927;
inline constexpr uint16_t MC_SCOPE_SEEK_POS = 0x0928;
inline constexpr uint16_t MC_SCOPE_LOG_EXT_DATA = 0x092A;
// State words of the freeze machine.
inline constexpr uint16_t MC_FREEZE_START = 0x2100;
inline constexpr uint16_t MC_FREEZE_SELECT = 0x2101;
inline constexpr uint16_t MC_FREEZE_FREEZE = 0x2102;
inline constexpr uint16_t MC_FREEZE_UNFREEZE = 0x2104;
inline constexpr uint16_t MC_FREEZE_DONE = 0x2105;
inline constexpr uint16_t MC_FREEZE_FAILED = 0x2106;

// The download machine's abort entry: McycleGetScopeDataStateMachine(60)
// logs the abort and sets the request (any thread); the machine acts on it
// at its next block receive.
inline constexpr uint8_t MC_SCOPE_ABORT_ENTRY = 60;

// Blocks and block bytes of this download, the block being fetched.
extern uint16_t uwMcScopeBlockAnz;
extern uint16_t uwMcScopeBlockCnt;
extern uint16_t uwMcScopeBlockDataLength;
// The freeze machine's request: 0 freeze, 1 unfreeze; the trace selector it
// writes first.
extern uint8_t ubFreezeSwitch;
extern uint8_t ubFreezeChan;

// Download panel: Escape (key 768) aborts the download; so does its Abort
// button. GUI thread; returns 0.
int ScopeDownloadEventCallback(int panel, int control, int event, void* callbackData, int eventData1,
                               int eventData2);
int DOWNLOAD_CMD_ABORT_Callback(int panel, int control, int event, void* callbackData, int eventData1,
                                int eventData2);
