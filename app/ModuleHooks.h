// Work the application core asks of modules that sit outside it (transports,
// trace display and files, script commands, macros). A module installs its
// function here when it starts; a hook left empty does nothing, and the
// callers that need a result say so to the operator.
#pragma once
#include <cstdint>
#include <string>

struct McModuleHooks {
  void (*scopeInit)() = nullptr;              // start-up: trace display defaults
  void (*udpInit)() = nullptr;                // start-up: Ethernet transport
  void (*scanSerialPorts)() = nullptr;        // "-com_check": list the serial ports
  void (*freeTraceBuffer)() = nullptr;        // shutdown, Exit
  void (*closeObjectLog)() = nullptr;         // shutdown: flush and close the object log file
  void (*closeLink)(bool includingUdp) = nullptr;  // shutdown (true), Exit (false: serial port only)
  void (*prepareCyclicRequests)() = nullptr;  // position monitor switched on
  void (*setSoftParm)(uint16_t value) = nullptr;   // fill the script container for a soft value
  // Load trace file: 0 loaded, 1 failed (the caller shows the loading error),
  // 2 nothing loaded and nothing more to say (cancelled, or already shown).
  int (*loadTraceFile)() = nullptr;
  void (*redrawTrace)(int analogOnly) = nullptr;
};

extern McModuleHooks mcModuleHooks;
// The hooks the program installs at start-up (what mcModuleHooks starts as).
McModuleHooks McycleProgramHooks();
