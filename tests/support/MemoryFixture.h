// The memory machine against rc7sim: the macro, progress and configuration
// panels on the recording host, a folder for image files, and transfers run
// on paced ticks to their end.
#pragma once
#include <chrono>
#include <cstdint>
#include <thread>
#include <string>

#include "engine/Mcycle.h"
#include "engine/McycleMemory.h"
#include "hmi/hmi.h"
#include "support/LinkFixture.h"
#include "support/TempDir.h"

class MemoryFixture : public LinkFixture {
 protected:
  static constexpr int kMacroPanel = 14, kConfigPanel = 10, kLoadPanel = 16;
  void SetUp() override;
  // Requests a transfer with these bits and ticks until the engine is idle
  // again with its messages shown; false when it did not get there.
  // `during` runs before every tick.
  template <class During>
  bool Transfer(uint8_t setBits, uint8_t clearBits, During during, int maxTicks = 20000);
  bool Transfer(uint8_t setBits, uint8_t clearBits) {
    return Transfer(setBits, clearBits, [] {});
  }
  // Lets engine time pass between status polls (a long erase without its
  // real wait): +`ms` whenever the machine is about to poll again.
  void WarpWhilePolling(uint32_t ms);
  // Skips the settling wait before each poll, for transfers of many blocks.
  void WarpWhileSettling();
  // The macro panel's message box.
  std::string MacroBox();
  // A valid image of `size` bytes (header included) whose code bytes count
  // up from 0, written to `name` in the folder; its path.
  std::string WriteImage(const std::string& name, uint32_t size);
  // Journal lines of writes of `data` to the command object.
  size_t Commands(uint32_t data) const;

  TempDir dir;
  // Real time between two ticks; the queue's time-outs stay far above the
  // simulator's answer time at a quarter of the timer's 2 ms.
  int tickPauseUs = 2000;
};

template <class During>
bool MemoryFixture::Transfer(uint8_t setBits, uint8_t clearBits, During during, int maxTicks) {
  if (!McycleMemoryRequest(setBits, clearBits)) return false;
  for (int i = 0; i < maxTicks; ++i) {
    during();
    if (McycleEngineIdle() && ubHiQueueCounter == 0) return true;
    McycleTimerCallback();
    std::this_thread::sleep_for(std::chrono::microseconds(tickPauseUs));
  }
  return false;
}

// Bits of the macro panel's three operations and of the configuration panel.
inline constexpr uint8_t kUploadBits = MC_FLAG_MEM_MACRO_PANEL | MC_FLAG_MEM_MACRO;
inline constexpr uint8_t kDownloadBits = MC_FLAG_MEM_MACRO_PANEL | MC_FLAG_MEM_MACRO | MC_FLAG_MEM_READ;
inline constexpr uint8_t kEraseBits = MC_FLAG_MEM_MACRO_PANEL | MC_FLAG_MEM_MACRO | MC_FLAG_MEM_ERASE;
inline constexpr uint8_t kEthWriteBits = MC_FLAG_MEM_ETHERNET;
inline constexpr uint8_t kEthReadBits = MC_FLAG_MEM_ETHERNET | MC_FLAG_MEM_READ;
inline constexpr uint8_t kAllBits = 0xFF & ~MC_FLAG_MEMORY_TRANSFER;
