// Trace-display work whose module is not in this build yet. The placeholder
// does nothing.
#include "scope/ScopeDisplay.h"

void ScopeDisplayRefresh() {}
