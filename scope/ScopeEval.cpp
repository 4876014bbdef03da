#include "scope/ScopeEval.h"

ScopeEvalData edScopeEvalData;
