#include "scope/scope.h"

uint32_t udScopeTime;
