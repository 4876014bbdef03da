// Trace-file work whose module is not in this build yet. The placeholder
// does nothing and reports failure, so callers take their error path.
#include "scope/ScopeFile.h"

uint8_t ScopeSaveTraceToFile(const char*) { return 1; }
