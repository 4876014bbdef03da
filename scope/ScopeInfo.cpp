#include "scope/ScopeInfo.h"

#include "app/Startup.h"
#include "engine/Mcycle.h"
#include "engine/McycleFlags.h"
#include "scope/ScopeFile.h"
#include "scope/ScopeFileHeader.h"
#include "scope/ScopeFileText.h"
#include "scope/ScopeTrace.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

std::string ScopeInfoText() {
  std::string out;
  ScopeTextAppend(out, "StrokeDesk: SW%04d-%02d\n", (udScopeSwVersion >> 8) & 0xFF, udScopeSwVersion & 0xFF);
  ScopeTextAppend(out, "Firmware:    P%04d-%02d\n", udScopeFwVersion >> 16, udScopeFwVersion & 0xFFFF);
  ScopeTextAppend(out, "Bootloader:  P%04d-%02d\n\n", (udScopeBootVersion >> 8) & 0xFF, udScopeBootVersion & 0xFF);
  ScopeTextAppend(out, "Date:        %4d-%02d-%02d\n", udScopeDateYear, udScopeDateMonth, udScopeDateDay);
  ScopeTextAppend(out, "Time:        %02d:%02d:%02d\n\n", udScopeTimeHour, udScopeTimeMin, udScopeTimeSec);
  ScopeHeaderWriteGeometry(out, ScopeHeaderStyle::Info);
  out += "PARAMETERS_START\n\n";
  ScopeHeaderWriteTableA(out, ScopeHeaderStyle::Info);
  if (!(ubMcFlag3 & (MC_FLAG3_FW_P0417 | MC_FLAG3_FW_QUILL))) ScopeHeaderWriteTableB(out, ScopeHeaderStyle::Info);
  out += "\nPARAMETERS_END";
  return out;
}

void ScopeCreateInfoData() {
  PanelClearText(uwMcScopeInfoPanelHandle, SCOPE_INFO_TXTBOX);
  PanelAppendText(uwMcScopeInfoPanelHandle, SCOPE_INFO_TXTBOX, ScopeInfoText());
}
