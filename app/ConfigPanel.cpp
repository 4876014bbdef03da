// Configuration panel: read or write the target's Ethernet settings.
#include "app/PanelCallbacks.h"
#include "app/Startup.h"
#include "engine/Mcycle.h"
#include "engine/McycleMemory.h"
#include "hmi/hmi.h"
#include "ui/Panel.h"
#include "ui/PanelIds.h"

namespace {

uint8_t Field(int control) {
  int64_t v = 0;
  PanelGetInt(uwMcConfigPanelHandle, control, v);
  return static_cast<uint8_t>(v);
}

// Starts the memory machine on the Ethernet configuration block.
void Transfer(bool read) {
  const uint8_t set = MC_FLAG_MEM_ETHERNET | (read ? MC_FLAG_MEM_READ : 0);
  const uint8_t clear = MC_FLAG_MEM_MACRO | MC_FLAG_MEM_ERASE | (read ? 0 : MC_FLAG_MEM_READ);
  if (!McycleMemoryRequest(set, clear)) {
    HmiLogDirect("Ethernet Config: an operation is running\n");
    return;
  }
  if (read) ubMcFlag3 |= MC_FLAG3_ETHERNET_READ;
  else ubMcFlag3 &= static_cast<uint8_t>(~MC_FLAG3_ETHERNET_READ);
}

}  // namespace

int CMD_CONF_Callback(int, int control, int event, void*, int, int) {
  if (event != EVENT_COMMIT) return 0;
  switch (control) {
    case CONF_CMD_READ:
      if (McycleRequireLink()) Transfer(true);
      break;
    case CONF_CMD_WRITE: {
      if (!McycleRequireLink()) break;
      // The machine reads the settings while it runs: take them only for a
      // transfer that can start.
      if (!McycleMemoryCanStart()) {
        HmiLogDirect("Ethernet Config: an operation is running\n");
        break;
      }
      const int ip[4] = {CONF_NUM_IP_1, CONF_NUM_IP_2, CONF_NUM_IP_3, CONF_NUM_IP_4};
      uint32_t address = 0;
      for (int c : ip) address = (address << 8) | Field(c);
      udMcIpAddr = address;
      const int mac[6] = {CONF_NUM_MAC_1, CONF_NUM_MAC_2, CONF_NUM_MAC_3, CONF_NUM_MAC_4, CONF_NUM_MAC_5, CONF_NUM_MAC_6};
      for (int i = 0; i < 6; ++i) udMcMacAddr[5 - i] = Field(mac[i]);
      Transfer(false);
      break;
    }
    case CONF_CMD_CLOSE: PanelHide(uwMcConfigPanelHandle); break;
    default: break;
  }
  return 0;
}
