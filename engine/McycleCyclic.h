// Cyclic monitor: while the engine is idle and the position monitor is on,
// every due poll either starts a round of reads (ram and motor position,
// status word 0, the two pressures, status word 1; the first three only on
// P0417) or collects its answers into the main panel's readouts and lamps.
// A failed read switches the monitor off.
#pragma once
#include <cstdint>

#include "comm/ComQueue.h"

inline constexpr int MC_CYCLIC_REQUESTS = 6;
inline constexpr int MC_CYCLIC_REQUESTS_P0417 = 3;

// The monitor's state: no round out, or a round's requests outstanding.
inline constexpr uint8_t MC_CYCLIC_IDLE = 0;
inline constexpr uint8_t MC_CYCLIC_WAITING = 1;
extern uint8_t ubCyclicDataState;
// Request templates in the order of a round; after an answer each holds the
// value read (udData) and the answer's command specifier (ubCmd).
extern CqElement cqRamPosStore;
extern CqElement cqMotPosStore;
extern CqElement cqStatusStore;
extern CqElement cqPressNDStore;
extern CqElement cqPressHDStore;
extern CqElement cqStatus1Store;

// Prepares the six read templates for the target node: time-out
// udCqNorlTimeout in expert mode, else 200 ms; pressures from 0x2318, or from
// 0x2503 when the firmware version's low byte is below 5. Position-monitor
// switch (GUI thread).
void McycleCyclicPrepareRequests();
// Ends a round: frees the queue slots it still holds, clears the busy bit
// when one of them was on the link and the in-progress bit, state 0. Tick
// only (signal 39; machines that take over the link).
void McycleCyclicReset();
