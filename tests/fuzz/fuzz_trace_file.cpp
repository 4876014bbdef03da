// libFuzzer harness: any bytes as a trace file loaded by name. The first byte
// chooses the kind: a ".log" text, a ".loz" or ".logzip" LZW stream, a
// ".lo1" file, or a ".loz" text compressed here so that the input reaches
// the readers behind the codec.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/Mcycle.h"
#include "engine/McycleFlags.h"
#include "fuzz/FuzzFile.h"
#include "params/CtrlCmd.h"
#include "scope/ScopeFile.h"
#include "scope/ScopeTrace.h"
#include "scope/lzw.h"

namespace {

volatile uint32_t sink;

// Values a rejected file must leave as they were.
struct Header {
  uint32_t fwVersion, swVersion, fileFormat, year;
  uint8_t variant;
  CtrlCmdContainer log;
  static Header Now() {
    return {udScopeFwVersion, udScopeSwVersion, udScopeFileFormat, udScopeDateYear,
            static_cast<uint8_t>(ubMcFlag3 & (MC_FLAG3_FW_P0417 | MC_FLAG3_FW_QUILL)), sLogDataContainer};
  }
  bool operator==(const Header& o) const {
    return fwVersion == o.fwVersion && swVersion == o.swVersion && fileFormat == o.fileFormat && year == o.year &&
           variant == o.variant && std::memcmp(&log, &o.log, sizeof log) == 0;
  }
};

void Require(bool ok) {
  if (!ok) __builtin_trap();
}

std::vector<uint8_t> Compressed(const uint8_t* text, size_t size) {
  if (size == 0) return {};  // the codec takes no empty text
  LzwTables tables;
  Require(tables.Ok());
  std::vector<uint8_t> stream(LzwCompressBound(size));
  LzwInit();
  stream.resize(static_cast<size_t>(LzwCompress(text, size, stream.data()) - stream.data()));
  return stream;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static const char* const kSuffix[] = {".log", ".loz", ".lo1", ".logzip", ".loz"};
  const unsigned kind = data[0] % 5;
  const uint8_t* body = data + 1;
  size_t length = size - 1;
  std::vector<uint8_t> stream;
  if (kind == 4) {
    stream = Compressed(body, length);
    body = stream.data();
    length = stream.size();
  }
  const Header before = Header::Now();
  const int32_t frames = ScopeLoadFile(FuzzInputFile(body, length, kSuffix[kind]));
  if (frames < 0) {
    Require(!ScopeFileReason().empty());
    Require(Header::Now() == before);
    Require(iScopeTraceMaxFrames == -1 && ubScopeNumOfTraces == 0 && !(ubMcFlag2 & MC_FLAG2_TRACE_PRESENT));
    for (const ScopeTraceDesc& t : scScope.trace) Require(t.uwFrames == 0 && t.udCapacity == 0 && !t.pFrames);
    return 0;
  }
  Require(iScopeTraceMaxFrames == frames && (ubMcFlag2 & MC_FLAG2_TRACE_PRESENT));
  Require(static_cast<uint64_t>(frames) <= uint64_t{scScope[0].udCapacity} + scScope[1].udCapacity);
  uint32_t sum = 0;
  for (const ScopeTraceDesc& t : scScope.trace) {
    Require(t.uwFrames <= t.udCapacity && (t.uwFrames == 0 || t.pFrames));
    // Every frame read, so a short array shows under the sanitizer.
    const auto* bytes = reinterpret_cast<const uint8_t*>(t.pFrames);
    for (size_t i = 0; i < t.uwFrames * sizeof(ScopeFrame); ++i) sum += bytes[i];
  }
  sink = sum;
  return 0;
}
