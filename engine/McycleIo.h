// What the operation machines share: going to a state, their lines in the
// message log (standard output in batch mode), the main panel's lamps and the
// requests for one container entry. Tick only, unless said otherwise.
#pragma once
#include <cstdint>

struct CtrlCmdEntry;

// Goes to state word `state` (a constant of engine/McycleMachines.h).
void McycleGo(uint16_t state);

// One line into the main panel's log window (priority 0, a line end added).
void McycleLog(const char* text);
void McycleLogf(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Text as it is, with its own line ends (priority 4). Any thread.
void McycleSay(const char* text);
void McycleSayf(const char* format, ...) __attribute__((format(printf, 1, 2)));
// "Transmission O.K." / "Transmission ERROR".
void McycleLogTransmissionOk();
void McycleLogTransmissionError();

// Lamp colours.
inline constexpr int64_t MC_LAMP_GREEN = 0x00FF00;
inline constexpr int64_t MC_LAMP_RED = 0xFF0000;
// Lamp `control` of the main panel in `colour`, lit or not.
void McycleLamp(int control, int64_t colour, bool lit);

// One request through CqWriteSDOResp on ubMcCanHandle to the open channel's
// node; call once per tick until it is not 1. 1 pending, 2 done, 0 failed.
// A write sends the entry's value with request code ubLength | 0x10; a read
// (0x15) leaves the response in cqCanData once it returns 2.
uint8_t McycleWriteEntry(const CtrlCmdEntry& entry, uint8_t log);
uint8_t McycleReadEntry(const CtrlCmdEntry& entry, uint8_t log);
// The same for one object.
uint8_t McycleWriteObject(uint16_t index, uint8_t subIndex, uint8_t width, uint32_t value, uint8_t log);
uint8_t McycleReadObject(uint16_t index, uint8_t subIndex, uint8_t log);

// The value of a read as a `width`-byte object carries it (2: low 16 bits).
uint32_t McycleValueOfWidth(uint32_t value, uint8_t width);
