#include "support/MemoryFixture.h"

#include <cstdio>
#include <fstream>

#include "app/Startup.h"
#include "comm/CRC32.h"
#include "comm/ComQueue.h"
#include "ui/PanelIds.h"

void MemoryFixture::SetUp() {
  LinkFixture::SetUp();
  uwMcMacroPanelHandle = kMacroPanel;
  uwMcConfigPanelHandle = kConfigPanel;
  uwMcMacroLoadPanelHandle = kLoadPanel;
}

void MemoryFixture::WarpWhilePolling(uint32_t ms) {
  if (uwMcycleState == MC_MEMORY_POLL && ubCQWriteSDOState == 1) udMcTimeTick += ms;
}

void MemoryFixture::WarpWhileSettling() {
  if (uwMcycleState == MC_MEMORY_WAIT) udMcTimeTick += 50;
}

std::string MemoryFixture::MacroBox() { return host.Text(kMacroPanel, MACRO_TXTBOX_MSG); }

std::string MemoryFixture::WriteImage(const std::string& name, uint32_t size) {
  std::string image(size, '\0');
  for (uint32_t i = 8; i < size; ++i) image[i] = static_cast<char>(i - 8);
  for (int i = 0; i < 4; ++i) image[4 + i] = static_cast<char>(size >> (8 * i));
  const uint32_t crc = CRC32calculationS(reinterpret_cast<const uint8_t*>(image.data()) + 4, size - 4);
  for (int i = 0; i < 4; ++i) image[i] = static_cast<char>(crc >> (8 * i));
  return dir.Write(name, image);
}

size_t MemoryFixture::Commands(uint32_t data) const {
  char pattern[32];
  std::snprintf(pattern, sizeof pattern, " 2000 00 %08X ", static_cast<unsigned>(data));
  size_t n = 0;
  for (const std::string& line : sim_->Journal()) n += line.find(pattern) != std::string::npos;
  return n;
}
