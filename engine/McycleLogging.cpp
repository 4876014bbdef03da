// Machine 0x22: switches the controller's communication logging on (0x109 to
// the command object) and off (0x10A). The controller mirrors its traffic as
// text over the USB link only; while logging is on, the receive step shows
// that text in the message log instead of decoding telegrams, and the
// operation buttons stay dimmed.
#include "app/Startup.h"
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "engine/McycleMachines.h"
#include "hmi/hmi.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

namespace {

constexpr uint32_t kLoggingOn = 0x109;
constexpr uint32_t kLoggingOff = 0x10A;
constexpr uint16_t kCommandObject = 0x2000;
constexpr int64_t kGreen = 0x00FF00;

void Say(const char* text) { HmiLogWindowOut(text, uwMcMainPanelHandle, HI_PRIO_TEXT, MAIN_TXTBOX_LOG); }

// Writes `code` to the command object: CqWriteSDOResp's result.
uint8_t WriteCommand(uint32_t code) {
  return CqWriteSDOResp(code, kCommandObject, MachineDataChan.ubNodeId, 0, CQ_SDO_WRITE2, &ubMcCanHandle, 1);
}

void ShowLogging(bool on) {
  const int main = uwMcMainPanelHandle;
  if (on) {
    HmiAllButtonDeactive(main);
    // The menu item is among the dimmed controls, yet it is the way to
    // switch logging off again.
    HmiButtonActive(main, MAIN_MENU_COM_LOGGING);
  } else {
    HmiAllButtonActive(main);
  }
  PanelSetAttribute(main, MAIN_MENU_COM_LOGGING, ATTR_CHECKED, on ? 1 : 0);
  PanelSetAttribute(main, MAIN_LED_LOGGING, ATTR_ON_COLOR, kGreen);
  PanelSetInt(main, MAIN_LED_LOGGING, on ? 1 : 0);
}

}  // namespace

void McycleLoggingStateMachine() {
  switch (uwMcycleState & 0xFF) {
    case 0:
      if (ubCqDataChannel == CQ_LINK_USB) {
        uwMcycleState = 0x2201;
        return;
      }
      Say("Error: Communication logging \n       only avaliable for USB!\n");
      uwMcycleState = 0x2205;
      return;
    case 1: {
      const uint8_t rc = WriteCommand(kLoggingOn);
      if (rc != 1) uwMcycleState = rc == 2 ? 0x2202 : 0x2205;
      return;
    }
    case 2:
      ShowLogging(true);
      Say("Communication logging on\n");
      ubCqFlag |= CQ_FLAG_RAW_TEXT;
      uwMcycleState = 0x2205;
      return;
    case 3:
      ShowLogging(false);
      ubCqFlag &= static_cast<uint8_t>(~CQ_FLAG_RAW_TEXT);
      CqClearRxQueue(0);
      Say("Communication logging off\n");
      // Only the USB link can have switched it on; nothing goes to a
      // controller on another link.
      uwMcycleState = ubCqDataChannel == CQ_LINK_USB ? 0x2204 : 0x2205;
      return;
    case 4:
      if (WriteCommand(kLoggingOff) != 1) uwMcycleState = 0x2205;
      return;
    default:
      uwMcycleState = MC_STATE_IDLE;
      return;
  }
}
