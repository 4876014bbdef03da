// Machine 0x22: switches the controller's communication logging on (0x109 to
// the command object) and off (0x10A). The controller mirrors its traffic as
// text over the USB link only; while logging is on, the receive step shows
// that text in the message log instead of decoding telegrams, and the
// operation buttons stay dimmed.
#include "app/Startup.h"
#include "comm/ComQueue.h"
#include "engine/Mcycle.h"
#include "engine/McycleControls.h"
#include "engine/McycleIo.h"
#include "engine/McycleMachines.h"
#include "hmi/hmi.h"
#include "params/CtrlCmd.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

namespace {

constexpr uint32_t kLoggingOn = 0x109;
constexpr uint32_t kLoggingOff = 0x10A;

// Writes `code` to the command object: 1 pending, 2 done, 0 failed.
uint8_t WriteCommand(uint32_t code) { return McycleWriteObject(CTRL_OBJ_COMMAND, 0, 2, code, 1); }

}  // namespace

void McycleLoggingStateMachine() {
  switch (uwMcycleState.load()) {
    case MC_LOGGING_ON:
      if (ubCqDataChannel == CQ_LINK_USB) {
        McycleGo(MC_LOGGING_ON_SEND);
        return;
      }
      McycleSay("Error: Communication logging \n       only avaliable for USB!\n");
      McycleGo(MC_LOGGING_END);
      return;
    case MC_LOGGING_ON_SEND: {
      const uint8_t rc = WriteCommand(kLoggingOn);
      if (rc != 1) McycleGo(rc == 2 ? MC_LOGGING_ON_SHOW : MC_LOGGING_END);
      return;
    }
    case MC_LOGGING_ON_SHOW:
      ubCqFlag |= CQ_FLAG_RAW_TEXT;
      McycleShowOperationControls();
      McycleSay("Communication logging on\n");
      McycleGo(MC_LOGGING_END);
      return;
    case MC_LOGGING_OFF:
      ubCqFlag &= static_cast<uint8_t>(~CQ_FLAG_RAW_TEXT);
      McycleShowOperationControls();
      CqClearRxQueue(0);
      McycleSay("Communication logging off\n");
      // Only the USB link can have switched it on; nothing goes to a
      // controller on another link.
      McycleGo(ubCqDataChannel == CQ_LINK_USB ? MC_LOGGING_OFF_SEND : MC_LOGGING_END);
      return;
    case MC_LOGGING_OFF_SEND:
      if (WriteCommand(kLoggingOff) != 1) McycleGo(MC_LOGGING_END);
      return;
    default:
      McycleGo(MC_STATE_IDLE);
      return;
  }
}
