// Macro projects: the macro panel and its image.
#pragma once
#include <atomic>
#include <cstdint>

// Bit 1: the macro panel has been opened.
inline constexpr uint8_t MAC_FLAG_PANEL_OPENED = 0x02;
extern std::atomic<uint8_t> ubMacFlag;

// Lamp colours of the macro panel, all four lamps off (start step).
void MacroInit();
