// Ending the interactive program.
#pragma once

enum class McShutdown {
  Close,  // the main panel is closed: every link is closed
  Exit,   // the Exit menu item: the serial port is closed, a UDP socket stays
};

// Closes the cycle timer first (it waits for a running tick), then frees the
// trace buffer and the compiled script, flushes and closes the object log and
// closes the link. The batch run ends with it too.
void McycleRelease(McShutdown kind);
// McycleRelease, then ends the event loop. Later calls do nothing.
void McycleShutdown(McShutdown kind);
// Arms the shutdown again (start-up).
void McycleShutdownReset();
