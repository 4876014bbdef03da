// Trace download (machine 0x09) and trigger freeze (machine 0x21): the
// geometry and header objects are read, the trigger is frozen, the scope
// memory fetched block by block, the frames converted and shown, and the
// trigger unfrozen again. Both machines run in the tick
// (McycleGetScopeDataStateMachine and McycleFreezeStateMachine; their state
// words are in engine/McycleMachines.h).
#pragma once
#include <cstdint>

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
