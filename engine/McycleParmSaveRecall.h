// Saving the controller's working parameters into one of its eight EEPROM
// sets (machine 13) and recalling a set (machine 14).
#pragma once
#include <cstdint>

inline constexpr uint8_t MC_PARM_SETS = 8;

// Set number chosen on the save/recall panel (0..7).
extern uint8_t ubMcParmSetNo;
// Ram type read after the last save or recall.
extern uint16_t uwMcRamtype;

// McycleReadStatus flags.
inline constexpr uint8_t MC_STATUS_VALID_PARAMETERS = 0x01;
inline constexpr uint8_t MC_STATUS_EEPROM_READ = 0x02;
inline constexpr uint8_t MC_STATUS_EEPROM_WRITE = 0x04;
inline constexpr uint8_t MC_STATUS_EEPROM_ERROR = 0x08;

// Command codes: save set n = 0x500 + n, recall set n = 0x510 + n.
inline constexpr uint16_t CMD_CODE_PARM_SAVE = 0x500;
inline constexpr uint16_t CMD_CODE_PARM_RECALL = 0x510;

// Send the save or recall command for `set` (above 7: 7), frames logged.
// Call once per tick: 0 pending, 1 confirmed, 2 failed.
uint8_t McycleParmSave(uint8_t set);
uint8_t McycleParmRecall(uint8_t set);

// Engine ms the recall waits after its confirmation before it reads the
// status (more than this).
inline constexpr uint32_t MC_RECALL_SETTLE_MS = 200;
