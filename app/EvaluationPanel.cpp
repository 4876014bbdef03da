// Evaluation panel: copy the results into the log window; close.
#include <cstdio>

#include "app/PanelCallbacks.h"
#include "app/Startup.h"
#include "engine/Mcycle.h"
#include "hmi/hmi.h"
#include "scope/ScopeDisplay.h"
#include "scope/ScopeEval.h"
#include "ui/Panel.h"

int CMD_COPY_LOG_Callback(int, int, int event, void*, int, int) {
  if (event != EVENT_COMMIT) return 0;
  if (!(ubMcFlag1 & MC_FLAG1_EVALUATION_OPEN)) {
    HmiLogDirect("Error: no valid evaluation data!\n");
    return 0;
  }
  const ScopeEvalRecord& e = edScopeEvalData;
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

// Close: the results are no longer shown, so the marks go with the panel.
int EVAL_CMD_EXIT_Callback(int, int, int event, void*, int, int) {
  if (event != EVENT_COMMIT) return 0;
  ubMcFlag1 &= static_cast<uint8_t>(~MC_FLAG1_EVALUATION_OPEN);
  ScopeTraceDisplay(0);
  PanelHide(uwMcEvaluationPanelHandle);
  return 0;
}
