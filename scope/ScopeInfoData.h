// The header information block of a P0528 trace: 55 values of the log-data
// containers in one fixed order, for the trace-file writer and the info text.
#pragma once

#include "params/CtrlCmd.h"

inline constexpr int SCOPE_INFO_ENTRIES = 55;

extern CtrlCmdEntry sInfoDataFrame[SCOPE_INFO_ENTRIES];

// When a converted trace is present (ubMcFlag2 bit 4): refills every entry
// (object, sub-index, width, value) from sLogDataContainer and
// sLogExtDataContainer. Otherwise the block stays as it is.
void ScopeCopyInfoData();
