// Configuration panel: read or write the target's Ethernet settings.
#include "app/PanelCallbacks.h"
#include "app/Startup.h"
#include "engine/Mcycle.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

namespace {

uint8_t Field(int control) {
  int64_t v = 0;
  PanelGetInt(uwMcConfigPanelHandle, control, v);
  return static_cast<uint8_t>(v);
}

// Memory machine bits for an Ethernet configuration transfer.
void PrepareTransfer(bool read) {
  uint8_t flags = ubMcFlag;
  flags &= static_cast<uint8_t>(~(MC_FLAG_MEM_READ | MC_FLAG_MEM_MACRO | MC_FLAG_MEM_ERASE));
  flags |= MC_FLAG_MEM_ETHERNET;
  if (read) flags |= MC_FLAG_MEM_READ;
  ubMcFlag = flags;
  if (read) ubMcFlag3 |= MC_FLAG3_ETHERNET_READ;
  else ubMcFlag3 &= static_cast<uint8_t>(~MC_FLAG3_ETHERNET_READ);
}

}  // namespace

int CMD_CONF_Callback(int, int control, int event, void*, int, int) {
  if (event != EVENT_COMMIT) return 0;
  switch (control) {
    case CONF_CMD_READ:
      if (!McycleRequireLink()) break;
      PrepareTransfer(true);
      McycleSignalQueuePut(MC_SIG_MEMORY);
      break;
    case CONF_CMD_WRITE: {
      if (!McycleRequireLink()) break;
      const int ip[4] = {CONF_NUM_IP_1, CONF_NUM_IP_2, CONF_NUM_IP_3, CONF_NUM_IP_4};
      uint32_t address = 0;
      for (int c : ip) address = (address << 8) | Field(c);
      udMcIpAddr = address;
      const int mac[6] = {CONF_NUM_MAC_1, CONF_NUM_MAC_2, CONF_NUM_MAC_3, CONF_NUM_MAC_4, CONF_NUM_MAC_5, CONF_NUM_MAC_6};
      for (int i = 0; i < 6; ++i) udMcMacAddr[5 - i] = Field(mac[i]);
      PrepareTransfer(false);
      McycleSignalQueuePut(MC_SIG_MEMORY);
      break;
    }
    case CONF_CMD_CLOSE: PanelHide(uwMcConfigPanelHandle); break;
    default: break;
  }
  return 0;
}
