// Trace files.
#pragma once
#include <cstdint>

// Writes the trace present to `path` (".log", ".loz" ...). 0 written; 1 not
// written (the file is then left as it was). Tick or GUI thread, while no
// download runs.
uint8_t ScopeSaveTraceToFile(const char* path);
