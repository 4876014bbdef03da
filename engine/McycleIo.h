// What the operation machines share: their lines in the message log (standard
// output in batch mode) and the requests for one container entry.
#pragma once
#include <cstdint>

struct CtrlCmdEntry;

// One line into the main panel's log window (priority 0, a line end added).
void McycleLog(const char* text);
void McycleLogf(const char* format, ...) __attribute__((format(printf, 1, 2)));
// "Transmission O.K." / "Transmission ERROR".
void McycleLogTransmissionOk();
void McycleLogTransmissionError();

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
