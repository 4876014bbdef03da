// The program's entry: the command line decides between batch mode and the
// interactive program, which the display layer runs.
#pragma once
#include "app/CommandLine.h"

// Runs the panels and the operator's event loop; 0, or -1 with a message on
// stderr.
using McInteractiveRunner = int (*)(int argc, char** argv, const McStartOptions& options);

// Returns 0 after a normal end, COMMAND_LINE_REJECTED for a bad batch command
// line (with the reason and the usage on stderr), -1 when the program cannot
// start.
int McycleMain(int argc, char** argv, McInteractiveRunner runInteractive);
