#include "scope/scope.h"

std::atomic<uint8_t> ubScopeFlag{0};
uint32_t udScopeFwVersion;
uint32_t udScopeTime;
