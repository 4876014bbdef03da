// libFuzzer harness: any bytes as a trace file loaded by name. The first byte
// chooses the kind: a ".log" text, a ".loz" or ".logzip" LZW stream, a
// ".lo1" file, or a ".loz" text compressed here so that the input reaches
// the readers behind the codec. A rejected file must leave the record
// cleared and the header as it was; a taken one must fit its arrays and
// come back the same through a save and a load.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/Mcycle.h"
#include "engine/McycleFlags.h"
#include "fuzz/FuzzFile.h"
#include "params/CtrlCmd.h"
#include "platform/FileUtil.h"
#include "scope/ScopeFile.h"
#include "scope/ScopeFileRead.h"
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

// A failed check names its line, as the trap's stack does not.
void Require(bool ok, int line = __builtin_LINE()) {
  if (ok) return;
  std::fprintf(stderr, "fuzz_trace_file: the check at line %d failed\n", line);
  __builtin_trap();
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

const std::string& Saved() {
  static const std::string path = FuzzInputFile(nullptr, 0, "-saved.loz");
  return path;
}

std::string Bytes(const std::string& path) {
  std::string bytes;
  int error = 0;
  Require(FileReadAll(path, size_t{256} << 20, bytes, error) == FileReadResult::Ok);
  return bytes;
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
    // A backtrace still running keeps its announced count without frames.
    if (ScopeReadRunning(t.udStatus)) continue;
    Require(t.uwFrames <= t.udCapacity && (t.uwFrames == 0 || t.pFrames));
    // Every frame read, so a short array shows under the sanitizer.
    const auto* bytes = reinterpret_cast<const uint8_t*>(t.pFrames);
    for (size_t i = 0; i < t.uwFrames * sizeof(ScopeFrame); ++i) sum += bytes[i];
  }
  sink = sum;
  // What the tool writes of a trace it took, it reads back to the same
  // trace: saved, loaded and saved again, the file is the same. (The first
  // save may drop what the text cannot hold, such as output bits past ten.)
  // A backtrace file is left out: where it names no firmware the tool knows
  // it takes the variant in force, which its ram type may contradict.
  if (kind == 2 || ScopeSaveTraceToFile(Saved().c_str()) != SCOPE_SAVE_OK) return 0;
  const std::string first = Bytes(Saved());
  Require(ScopeLoadFile(Saved()) >= 0 && ScopeSaveTraceToFile(Saved().c_str()) == SCOPE_SAVE_OK);
  Require(Bytes(Saved()) == first);
  return 0;
}
