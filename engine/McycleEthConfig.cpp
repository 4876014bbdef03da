// The controller's Ethernet settings as the five-word block the memory
// machine carries: the IPv4 address, the MAC address and two check words.
#include "app/PanelCallbacks.h"
#include "engine/Mcycle.h"
#include "engine/McycleMemory.h"

namespace {

constexpr uint32_t kWords = 5;

uint32_t MacLow() {
  return udMcMacAddr[0] | static_cast<uint32_t>(udMcMacAddr[1]) << 8 | static_cast<uint32_t>(udMcMacAddr[2]) << 16 |
         static_cast<uint32_t>(udMcMacAddr[3]) << 24;
}

uint32_t MacHigh() { return udMcMacAddr[4] | static_cast<uint32_t>(udMcMacAddr[5]) << 8; }

}  // namespace

uint32_t McycleGetEthConfigData(uint32_t& position) {
  uint32_t word = 0;
  switch (position) {
    case 0: word = udMcIpAddr; break;
    case 1: word = ~udMcIpAddr; break;
    case 2: word = MacLow(); break;
    case 3: word = MacHigh(); break;
    case 4: word = ~(MacLow() ^ MacHigh()); break;
    default: return 0;
  }
  ++position;
  return word;
}

uint8_t McycleSetEthConfigData(uint32_t& position, uint32_t word) {
  if (position >= kWords) return 0;
  uint8_t invalid = 0;
  switch (position) {
    case 0: udMcIpAddr = word; break;
    case 1: invalid = word != ~udMcIpAddr; break;
    case 2:
      for (int i = 0; i < 4; ++i) udMcMacAddr[i] = static_cast<uint8_t>(word >> (8 * i));
      break;
    case 3:
      udMcMacAddr[4] = static_cast<uint8_t>(word);
      udMcMacAddr[5] = static_cast<uint8_t>(word >> 8);
      break;
    default: invalid = word != ~(MacLow() ^ MacHigh()); break;
  }
  ++position;
  return invalid;
}
