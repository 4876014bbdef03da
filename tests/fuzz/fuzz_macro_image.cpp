// libFuzzer harness: any bytes as a macro image (.mbi). A failed load must
// leave an empty image, and the accessors must stay inside the buffer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz/FuzzFile.h"
#include "macro/macro.h"

volatile uint32_t fuzzMacroImageSink;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int rc = MacroLoadMbiData(FuzzInputFile(data, size));
  if (rc != 0 && MacroGetFileDataSize() != 0) std::abort();
  // Read every word so a read past the buffer shows under the sanitizer.
  uint32_t sum = MacroImageComputedCrc() ^ MacroImageHeaderCrc() ^ MacroImageHeaderSize();
  for (uint32_t offset = 0; offset < MacroGetFileDataSize();) sum += MacroGetFileData(offset);
  fuzzMacroImageSink = sum;
  return 0;
}
