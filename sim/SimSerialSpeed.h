// Line speed of the simulated controller's serial port (link 1). With
// --baud the controller hears a frame only while the pseudo-terminal is set
// to its own speed, as a real UART would; the speed commands switch it.
#pragma once

// True when a frame that arrived on the pseudo-terminal `ptyFd` is heard:
// speed emulation off, or the line's speed (tcgetattr) equals the
// controller's.
bool SimLineSpeedHeard(int ptyFd);
