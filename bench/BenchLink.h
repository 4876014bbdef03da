// What the benchmarks against rc7sim share: the engine after its start step
// on a link to the simulator, and ticks at the tick's fixed rate.
#pragma once
#include <cstdint>
#include <functional>

#include "support/SimProcess.h"

// Runs the start step, then opens serial port `port` (the simulator's pty,
// named by STROKEDESK_COM<port>) or UDP to 127.0.0.2 and selects the link.
// False when the simulator or the link is not there.
bool BenchOpenLink(uint8_t link, const SimProcess& sim, int port = 2);
void BenchCloseLink();

// Ticks the engine every 2 ms (absolute deadlines, so a late tick does not
// shift the ones after it) while `more()` holds, asked before each tick.
// Returns the ticks run.
int64_t BenchPacedTicks(const std::function<bool()>& more);
