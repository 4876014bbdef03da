// Check marks and switches that show the controller's settings: set after a
// command of the command list went through, and from the mode words the
// controller reports.
#pragma once
#include <cstdint>

// The command's item of its menu group checked and its partners unchecked,
// on the main menu and the scope panel's first-trace menu (switches of the
// main panel for UDSEL inhibit, pressure monitor and mark). Commands outside
// every group change nothing.
void McycleSetCheckMenu(uint8_t command);
// The same on the scope panel's second-trace menu: 22/23 backward/forward,
// 24/25 machine cycle/hardware; other commands change nothing.
void McycleSetCheckMenuTrace2(uint8_t command);
// A trace mode word (0x2A00/1 for trace 1, /2 for trace 2) on that trace's
// menu: bit 4 backward/forward, bit 0 hardware/machine cycle, bit 5
// freeze/unfreeze.
void McycleSetCheckTraceMenu(int trace, uint32_t modeWord);
// Mode word 1 as read after a ram-type command: the two status check boxes
// (bit 0 UDSEL inhibit, bit 11) and the UDSEL check mark.
void McycleSetStatusBoxes(uint16_t mode1);
// Mode words 0 and 1 after identification: UDSEL inhibit (1 bit 0), cycle
// basic / form 2 / form 3 (0 bits 5 and 15), pressure monitor (1 bit 6;
// dimmed on P0417), the second status box (1 bit 11, Quill only), mark
// (0 bit 13) and hover (0 bit 14).
void McycleSetModeWordControls(uint16_t mode0, uint16_t mode1, bool p0417, bool quill);
