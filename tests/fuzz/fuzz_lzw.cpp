// libFuzzer harness: any bytes as a ".loz" stream, and as a text to compress
// and expand again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "scope/lzw.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  LzwTables tables;
  // Capacity from the first byte, so both outcomes are reached.
  const size_t capacity = size ? 64u * data[0] : 0;
  std::vector<uint8_t> in(data, data + size), out(capacity);
  LzwOutcome outcome = LzwOutcome::Ok;
  LzwInit();
  const uint8_t* end = LzwExpand(in.data(), in.size(), out.data(), out.size(), &outcome);
  if ((end != nullptr) != (outcome == LzwOutcome::Ok)) std::abort();

  if (size == 0) return 0;
  std::vector<uint8_t> stream(LzwCompressBound(size)), text(size);
  LzwInit();
  const uint8_t* streamEnd = LzwCompress(data, size, stream.data());
  LzwInit();
  end = LzwExpand(stream.data(), streamEnd - stream.data(), text.data(), text.size(), &outcome);
  if (!end || static_cast<size_t>(end - text.data()) != size || std::memcmp(text.data(), data, size) != 0)
    std::abort();
  return 0;
}
