#include "scope/scope.h"

std::atomic<uint8_t> ubScopeFlag{0};
