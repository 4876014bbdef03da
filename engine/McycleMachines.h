// Entry points of the operation machines dispatched by the cycle engine.
// Each is called once per tick while the state word's high byte selects it,
// and ends by writing MC_STATE_IDLE (0x0101).
#pragma once
#include <cstdint>

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
