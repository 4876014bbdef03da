#include "scope/ScopeDisplay.h"

#include <vector>

#include "app/Startup.h"
#include "engine/Mcycle.h"
#include "scope/ScopeTrace.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

namespace {

constexpr int64_t kRed = 0xFF0000;
constexpr int64_t kBlue = 0x0000FF;
constexpr int64_t kDarkGreen = 0x008000;

}  // namespace

void ScopeClear() { PanelDeleteGraphPlot(uwMcScopePanelHandle, SCOPE_GRAPH, -1); }

void ScopePlotMessage(const char* text) {
  PanelPlotText(uwMcScopePanelHandle, SCOPE_GRAPH, 20, 50, text, kRed, 20, true, GRAPH_AXIS_LEFT, "NORL");
}

void ScopeTraceDisplay(int) {
  if (!(ubMcFlag2 & MC_FLAG2_TRACE_PRESENT)) return;
  const bool second = (ubScopeFlag & SCOPE_FLAG_SECOND_TRACE) && ubScopeNumOfTraces == 2;
  const ScopeTraceDesc& t = scScope[second ? 1 : 0];
  const size_t n = t.pFrames ? (t.uwFrames < t.udCapacity ? t.uwFrames : t.udCapacity) : 0;
  ScopeClear();
  if (n == 0) return;
  // Positions in hundredths of a millimetre, shown in millimetres.
  std::vector<double> ram(n), cmd(n);
  for (size_t i = 0; i < n; ++i) {
    ram[i] = t.pFrames[i].swRam / 100.0;
    cmd[i] = t.pFrames[i].swCmdpos / 100.0;
  }
  PanelSetAxisRange(uwMcScopePanelHandle, SCOPE_GRAPH, GRAPH_AXIS_X, 0, static_cast<double>(n));
  PanelSetAxisRange(uwMcScopePanelHandle, SCOPE_GRAPH, GRAPH_AXIS_LEFT, 0, 100);
  PanelPlotWaveform(uwMcScopePanelHandle, SCOPE_GRAPH, cmd.data(), n, 0, 1, kDarkGreen);
  PanelPlotWaveform(uwMcScopePanelHandle, SCOPE_GRAPH, ram.data(), n, 0, 1, kBlue);
}

void ScopeDisplayRefresh() { ScopeTraceDisplay(0); }
