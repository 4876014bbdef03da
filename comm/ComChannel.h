// Channel selection, port discovery and the USB device watch.
#pragma once
#include <cstdint>

// Checks that the RC7 USB device is still present. mode 1 at selection, 0 from
// the periodic check. 0 present, 1 nothing to check, 2 absent (link dropped).
uint8_t McycleUsbScanReg(uint8_t mode);
