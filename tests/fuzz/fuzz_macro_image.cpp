// libFuzzer harness: any bytes as a macro image (.mbi). A failed load must
// leave an empty image, and the accessors must stay inside the buffer.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "macro/macro.h"

volatile uint32_t fuzzMacroImageSink;

namespace {

const std::string& ImagePath() {
  static const std::string path = [] {
    char name[] = "/tmp/fuzz_macro_image.XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) std::abort();
    close(fd);
    return std::string(name);
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::FILE* file = std::fopen(ImagePath().c_str(), "wb");
  if (!file) std::abort();
  if (size && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);
  const int rc = MacroLoadMbiData(ImagePath());
  if (rc != 0 && MacroGetFileDataSize() != 0) std::abort();
  // Read every word so a read past the buffer shows under the sanitizer.
  uint32_t sum = MacroImageComputedCrc() ^ MacroImageHeaderCrc() ^ MacroImageHeaderSize();
  for (uint32_t offset = 0; offset < MacroGetFileDataSize();) sum += MacroGetFileData(offset);
  fuzzMacroImageSink = sum;
  return 0;
}
