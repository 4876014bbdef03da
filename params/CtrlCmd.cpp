#include "params/CtrlCmd.h"

CtrlCmdContainer sCmdContainer;
