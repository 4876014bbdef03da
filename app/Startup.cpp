#include "app/Startup.h"

#include <cstdio>
#include <cstring>
#include <string>

uint16_t uwMcMainPanelHandle;
uint16_t uwMcIntroPanelHandle;
uint16_t uwMcScopePanelHandle;
uint16_t uwMcDownloadPanelHandle;
uint16_t uwMcParmSavePanelHandle;
uint16_t uwMcParameterPanelHandle;
uint16_t uwMcExtParameterPanelHandle;
uint16_t uwMcRamtypePanelHandle;
uint16_t uwMcEvaluationPanelHandle;
uint16_t uwMcConfigPanelHandle;
uint16_t uwMcTraceInfoPanelHandle;
uint16_t uwMcAboutPanelHandle;
uint16_t uwMcScopeInfoPanelHandle;
uint16_t uwMcMacroPanelHandle;
uint16_t uwMcWizardPanelHandle;
uint16_t uwMcMacroLoadPanelHandle;
uint16_t uwMcMacroTestPanelHandle;
uint16_t uwMcScopeCommentPanelHandle;
uint16_t uwMcHelpPanelHandle;
uint16_t uwMcSavePanelHandle;

uint16_t uwMcBatchStateQueue[BATCH_PLAN_SLOTS];
uint8_t ubBatchStateCnt;
uint8_t ubBatchCounter;
std::atomic<uint8_t> ubBatchEnd{0};

char ubCtrlCmdPathBuffer[CTRL_CMD_PATH_BUFFER_SIZE];
char* ubPtrMacPath;

void McycleBatchEndSet() {
  ubBatchEnd = 1;
  ubBatchEnd.notify_all();
}

void McycleBatchEndWait() { ubBatchEnd.wait(0); }

const char* McycleBuildStamp() {
  static char stamp[48];
  if (stamp[0]) return stamp;
  static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const char* date = __DATE__;  // "Mmm dd yyyy"
  int month = 1;
  for (int i = 0; i < 12; ++i)
    if (std::strncmp(date, months[i], 3) == 0) month = i + 1;
  int day = 0, year = 0;
  std::sscanf(date + 4, "%d %d", &day, &year);
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %.5s - final", year, month, day, __TIME__);
  return stamp;
}

const char* McycleMainTitle() {
  static const std::string title =
      std::string("RC7 Drive Service - StrokeDesk   Rev. ") + SOFTWARE_NUMBER + "    " + McycleBuildStamp();
  return title.c_str();
}
