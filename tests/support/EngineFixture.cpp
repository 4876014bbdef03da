#include "support/EngineFixture.h"

#include "comm/ComQueue.h"

void EngineFixture::SetUp() {
  TimerClose();
  PanelSetHost(&host);
  uwMcMainPanelHandle = 1;
  uwMcycleState = 0;
  udMcTimeTick = 0;
  ubMcQueueCounterIn = ubMcQueueCounterOut = 0;
  ubMcSignalQueueCounter = 0;
  swStackPointer = 0;
  ubMcFlag = ubMcFlag1 = ubMcFlag2 = ubMcFlag3 = ubMcFlag4 = ubMcFlag5 = 0;
  McycleStateMachine(MC_SIG_START);
}

void EngineFixture::TearDown() {
  TimerClose();
  PanelSetHost(nullptr);
}

void EngineFixture::Tick(int n) {
  for (int i = 0; i < n; ++i) McycleTimerCallback();
}
