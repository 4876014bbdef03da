// Interactive mode: the panels, the panel timer and the operator's event loop.
#pragma once

class QtPanelHost;

struct InteractiveOptions {
  bool kithara = false;
};

// Loads the panels into `host`, starts the cycle timer and the engine and
// writes the start banner. Returns 0, or -1 when a panel cannot be loaded.
// Needs a QApplication; GUI thread.
int InteractiveStart(QtPanelHost& host, const InteractiveOptions& options);
// Closes the timer and the link; after it no tick runs. Safe to call twice.
void InteractiveShutdown();
