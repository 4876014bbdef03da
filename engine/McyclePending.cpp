// Machines whose subsystems are not in this build yet: each returns the engine
// to idle at once, so a signal that selects one never stalls the engine.
#include "app/Startup.h"
#include "comm/ComChannel.h"
#include "engine/Mcycle.h"
#include "engine/McycleMachines.h"
#include "hmi/hmi.h"
#include "objects/ScriptLoader.h"
#include "ui/PanelIds.h"

void McycleGetScopeDataStateMachine(uint8_t) { uwMcycleState = MC_STATE_IDLE; }
// Until the batch machine is built, a batch ends at once with a message, so
// main never waits for ever.
void McycleBatchModeStateMachine() {
  HmiLogWindowOut("Batch mode is not supported in this build: nothing was run.", uwMcMainPanelHandle, HI_PRIO_LINE,
                  MAIN_TXTBOX_LOG);
  uwMcycleState = MC_STATE_IDLE;
  McycleBatchEndSet();
}
void McycleFreezeStateMachine() { uwMcycleState = MC_STATE_IDLE; }
void McycleLoggingStateMachine() { uwMcycleState = MC_STATE_IDLE; }
void McycleGetDateTimeStateMachine() { uwMcycleState = MC_STATE_IDLE; }
void McycleMemoryStateMachine() { uwMcycleState = MC_STATE_IDLE; }
void McycleGetCyclicDataStateMachine(uint16_t) {}
