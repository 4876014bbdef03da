// Interactive mode over Qt: the application object, the panel host and the
// operator's event loop.
#pragma once
#include "app/CommandLine.h"

// Returns 0 after the event loop ends, or -1 (with the reason on stderr) when
// there is no display or a panel cannot be loaded.
int InteractiveRun(int argc, char** argv, const McStartOptions& options);
