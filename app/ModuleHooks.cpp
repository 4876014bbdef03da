#include "app/ModuleHooks.h"

McModuleHooks mcModuleHooks;
