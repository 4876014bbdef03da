// libFuzzer harness: any bytes as the words (little-endian) of an Ethernet
// configuration block read from the controller. A block taken without a
// check failing must come back from the settings as the same block, and the
// block the settings give must always be taken again unchanged.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "app/PanelCallbacks.h"
#include "engine/Mcycle.h"
#include "engine/McycleMemory.h"

namespace {

constexpr uint32_t kWords = 5;

void Require(bool ok) {
  if (!ok) __builtin_trap();
}

// The settings' block; the position ends after the last word and stays there.
void Get(uint32_t (&block)[kWords]) {
  uint32_t position = 0;
  for (uint32_t& word : block) word = McycleGetEthConfigData(position);
  Require(position == kWords && McycleGetEthConfigData(position) == 0 && position == kWords);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Words past the block too: they must be ignored.
  uint32_t words[8] = {};
  const size_t count = size / 4 < 8 ? size / 4 : 8;
  std::memcpy(words, data, count * 4);
  uint32_t position = 0;
  bool valid = count >= kWords;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t invalid = McycleSetEthConfigData(position, words[i]);
    Require(position == (i < kWords ? i + 1 : kWords) && invalid <= 1 && (i < kWords || !invalid));
    if (i < kWords && invalid) {
      Require(i == 1 || i == 4);  // only the check words are checked
      valid = false;
    }
  }
  uint32_t block[kWords];
  Get(block);
  if (valid) {
    // The block carries 48 bits of MAC address: the upper half of word 3 is
    // not kept.
    words[3] &= 0xFFFF;
    Require(std::memcmp(block, words, sizeof block) == 0);
  }
  const uint32_t ip = udMcIpAddr;
  uint8_t mac[6];
  std::memcpy(mac, udMcMacAddr, sizeof mac);
  position = 0;
  for (uint32_t word : block) Require(McycleSetEthConfigData(position, word) == 0);
  Require(udMcIpAddr == ip && std::memcmp(mac, udMcMacAddr, sizeof mac) == 0);
  return 0;
}
