// Machine 0x24: the controller's memory through the window of object 0x2319
// (address, length, status, four data words) and the block commands of the
// command object: macro upload, download and erase, and the Ethernet
// configuration block (engine/McycleEthConfig.cpp).
#pragma once
#include <cstdint>
#include <string>

#include "engine/McycleMachines.h"

// Objects and codes.
inline constexpr uint16_t MC_MEM_WINDOW_OBJECT = 0x2319;
inline constexpr uint8_t MC_MEM_SUB_MODE = 5;
inline constexpr uint8_t MC_MEM_SUB_ADDRESS = 6;
inline constexpr uint8_t MC_MEM_SUB_LENGTH = 7;
inline constexpr uint8_t MC_MEM_SUB_STATUS = 8;
inline constexpr uint8_t MC_MEM_SUB_DATA = 9;            // data words 9 .. 12
inline constexpr uint16_t MC_MEM_INFO_OBJECT = 0x22F0;
inline constexpr uint8_t MC_MEM_SUB_MACRO_LENGTH = 3;
inline constexpr uint8_t MC_MEM_SUB_MACRO_CRC = 2;
inline constexpr uint32_t MC_MEM_CMD_WRITE = 0x2002;
inline constexpr uint32_t MC_MEM_CMD_READ = 0x2003;
inline constexpr uint32_t MC_MEM_CMD_ERASE = 0x2004;
inline constexpr uint32_t MC_MEM_STATUS_DONE = 0x04;
inline constexpr uint32_t MC_MEM_STATUS_ERROR = 0x02;
inline constexpr uint32_t MC_MEM_MACRO_ADDRESS = 0x400;
inline constexpr uint32_t MC_MEM_ETH_ADDRESS = 0;
inline constexpr int MC_MEM_BAR_FULL = 21;
inline constexpr uint8_t MC_FLAG4_MEMORY_ABORT = 0x01;   // ubMcFlag4: Esc on the progress panel

// Byte position in the image (macro) or words moved (Ethernet block).
extern uint32_t udMcMacDataCounter;
// Ticks per step of the progress bar (0 .. 21).
extern uint32_t udMcMemDivisor;
// The file a download is saved to (set by the macro panel before the request).
extern std::string chMcDownloadPath;

// Starts a transfer from a panel callback: refused (false, nothing changed)
// while an operation runs or waits, or when the queue does not take the
// signal. Otherwise clears `clearBits`, sets `setBits` and the running bit in
// ubMcFlag, posts signal 51 and, for a macro operation, shows the progress
// panel at 0 with the operation's title and bar colour.
bool McycleMemoryRequest(uint8_t setBits, uint8_t clearBits);
// Whether McycleMemoryRequest would find the engine free.
bool McycleMemoryCanStart();

// Ethernet configuration block (five words: address, its complement, MAC low,
// MAC high, complement of their XOR). Get returns the word at position and
// advances it; past word 4 it returns 0 and stays. Set takes the word at
// position and advances it; 1 when a check word does not fit the words taken
// before it, else 0; past word 4 it returns 0 and stays.
uint32_t McycleGetEthConfigData(uint32_t& position);
uint8_t McycleSetEthConfigData(uint32_t& position, uint32_t word);

// Progress panel: Esc (key code 0x300) while a transfer runs asks for its end.
int MacroLoadEventCallback(int panel, int control, int event, void* data, int eventData1, int eventData2);
