// Identification of the controller (machine 10).
#pragma once
#include <cstdint>

// Serial speed step of identification: 0 9600, 1 38400, 2 57600 baud. Kept
// across runs; 0 again when a run ends.
extern uint8_t ubMcBaudStep;
