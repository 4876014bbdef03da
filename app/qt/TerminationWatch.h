// SIGTERM and SIGINT in interactive mode: handled like closing the main panel,
// on the GUI thread, so the program shuts down in order and exits 0.
#pragma once
#include <functional>

// Installs the handlers; `onSignal` runs on the GUI thread. Needs a
// QApplication. Returns false when the handlers cannot be installed.
bool WatchTerminationSignals(std::function<void()> onSignal);
