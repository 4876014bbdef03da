// Machines whose subsystems are not in this build yet: each returns the engine
// to idle at once, so a signal that selects one never stalls the engine.
#include "engine/Mcycle.h"
#include "engine/McycleMachines.h"

void McycleGetScopeDataStateMachine(uint8_t) { uwMcycleState = MC_STATE_IDLE; }
void McycleFreezeStateMachine() { uwMcycleState = MC_STATE_IDLE; }
