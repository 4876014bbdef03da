// libFuzzer harness: any bytes as a trace file. The first byte chooses the
// reader: a ".log" text, a ".loz" text (converted, then read), a ".lo1"
// file, or an LZW stream of a ".loz" file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "scope/ScopeFile.h"
#include "scope/lzw.h"

namespace {

void Check(int64_t result) {
  if (result < 0 && ScopeFileReason().empty()) std::abort();  // every rejection says why
}

int64_t Text(const char* text, size_t size) {
  std::string log;
  const int64_t length = ScopeConvertRohdata(text, size, log);
  Check(length);
  return length < 0 ? -1 : ScopeLoadTraceFromFile(log.data(), log.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string body(reinterpret_cast<const char*>(data + 1), size - 1);  // exact size: no slack to read
  ScopeFileSetReason("");
  switch (data[0] % 4) {
    case 0: Check(ScopeLoadTraceFromFile(body.data(), body.size())); break;
    case 1: Check(Text(body.data(), body.size())); break;
    case 2: Check(ScopeLoadBinFromFile(reinterpret_cast<const uint8_t*>(body.data()), body.size())); break;
    default: {
      LzwTables tables;
      std::string text(1u << 20, '\0');
      LzwOutcome outcome;
      LzwInit();
      auto* out = reinterpret_cast<uint8_t*>(text.data());
      const uint8_t* end =
          LzwExpand(reinterpret_cast<const uint8_t*>(body.data()), body.size(), out, text.size(), &outcome);
      if (end) Check(Text(text.data(), static_cast<size_t>(end - out)));
      break;
    }
  }
  return 0;
}
