// Evaluation panel: copy the results into the log window.
#include <cstdio>

#include "app/PanelCallbacks.h"
#include "engine/Mcycle.h"
#include "hmi/hmi.h"
#include "scope/ScopeEval.h"
#include "ui/Panel.h"

int CMD_COPY_LOG_Callback(int, int, int event, void*, int, int) {
  if (event != EVENT_COMMIT) return 0;
  if (!(ubMcFlag1 & MC_FLAG1_EVALUATION_OPEN)) {
    HmiLogDirect("Error: no valid evaluation data!\n");
    return 0;
  }
  const ScopeEvalData& e = edScopeEvalData;
  char text[512];
  std::snprintf(text, sizeof text,
                "Evaluation data:\n\n"
                "POS2:       %4.2f mm\n"
                "POS5:       %4.2f mm\n"
                "UT:         %4.2f mm\n"
                "Start Time: %4.2f ms\n"
                "Run Time:   %4.2f ms\n"
                "Speed down: %d mm/s\n"
                "Speed up:   %d mm/s\n\n",
                static_cast<int16_t>(e.uwPos2) / 100.0, static_cast<int16_t>(e.uwPos5) / 100.0, e.swUtPos / 100.0,
                e.lfStartTime, e.lfRunTime, static_cast<int>(e.sdSpeedDown), static_cast<int>(e.sdSpeedUp));
  HmiLogDirect(text);
  return 0;
}
