// The parameter set on the controller: write (machine 7), read back
// (machine 8), the logged set and the soft value.
#pragma once
#include <cstdint>

#include "params/CtrlCmd.h"

inline constexpr int MC_WIZARD_PARM_CONTROLS = 15;

// The macro wizard's parameter page: its panel and, in this order, the
// controls that get sKvoParm elements 0, 1, 2, 3, 4, 5, 8, 9, 10, 11, 12, 13,
// 17, 24 and 23 after a read-back it asked for (ubMcFlag bit 5). Set by the
// wizard before it posts the read-back.
// A control id of 0 in the list marks a value the page has no field for.
inline constexpr uint8_t MC_WIZARD_NO_CONTROL = 0;
extern uint16_t uwMcMacWizParmPanelHandle;
extern uint8_t ubMcMacWizParmNum[MC_WIZARD_PARM_CONTROLS];

// Outcome of the last read-back (machine 8): 0 every entry read, 1 failed
// (nothing shown, the container holds what it held before, partly updated).
extern uint8_t ubMcParmReadFailed;

// Logs an empty line, "PARMSET    = %d" (ubMcParmSetNo) and the five basic
// parameters POS1, POS2, POS3, READYWIN and TIME2 (entries 0..4).
void McycleSetParmLogBox(const CtrlCmdContainer& parameters);

// Soft value: fills the script container with 0x2000 := 331, 0x211F :=
// value, 0x2000 := 257 (value 0: 0x2000 := 332, 0x2000 := 257) and posts
// signal 5. Refused (1, with a line in the log) while an operation runs or a
// signal waits, since the script container may then be in use; 0 done.
uint8_t McycleSetSoftParm(uint16_t value);
