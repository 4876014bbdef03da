// Loading a trace file whole: the file's bytes, the reader by extension, and
// the state a rejected file must not change.
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/Mcycle.h"
#include "engine/McycleFlags.h"
#include "params/CtrlCmd.h"
#include "platform/FileUtil.h"
#include "scope/ScopeFile.h"
#include "scope/ScopeFileName.h"
#include "scope/ScopeInfoData.h"
#include "scope/ScopeTrace.h"
#include "scope/lzw.h"
#include "scope/scope.h"

uint8_t ubScopeFlag1;

namespace {

std::string reason;

// Largest file and largest ".loz" text taken: two traces of the most frames
// a file may hold, with room for the header.
constexpr size_t kMaxFileBytes = 64u << 20;
constexpr size_t kMaxLozText = 8u << 20;

constexpr uint8_t kFlag3Bits = MC_FLAG3_FW_P0417 | MC_FLAG3_FW_QUILL;
constexpr uint8_t kFlag4Bits = MC_FLAG4_ALT_DIGITAL_CAPTIONS | MC_FLAG4_SECOND_TRACE_SKIPPED;
constexpr uint8_t kFlag5Bits = MC_FLAG5_QUILL_TWO_TRACES;
constexpr uint8_t kScopeFlagBits = SCOPE_FLAG_P0417_TRACE | SCOPE_FLAG_LAST_LOAD_LOG;

// The header values, containers and descriptors a reader writes, as one
// list of places; the variant flags are kept bit by bit.
struct Place {
  void* at;
  size_t size;
};
#define SCOPE_PLACE(var) Place{&(var), sizeof(var)}
const Place kPlaces[] = {
    SCOPE_PLACE(udScopeFwVersion),    SCOPE_PLACE(udScopeStatus1),    SCOPE_PLACE(udScopeBootVersion),
    SCOPE_PLACE(udScopeSwVersion),    SCOPE_PLACE(udScopeFileFormat), SCOPE_PLACE(uwScopeRamtype),
    SCOPE_PLACE(uwScopeLmsResol),     SCOPE_PLACE(uwScopeMotResol),   SCOPE_PLACE(uwScopeStatus0),
    SCOPE_PLACE(uwScopeMode0),        SCOPE_PLACE(uwScopeMode1),      SCOPE_PLACE(uwScopeRampos),
    SCOPE_PLACE(uwScopeMotpos),       SCOPE_PLACE(uwScopePostTrgTime), SCOPE_PLACE(uwScopeMsSampleTime),
    SCOPE_PLACE(stRC6Kvo),            SCOPE_PLACE(udScopeDateYear),   SCOPE_PLACE(udScopeDateMonth),
    SCOPE_PLACE(udScopeDateDay),      SCOPE_PLACE(udScopeTimeHour),   SCOPE_PLACE(udScopeTimeMin),
    SCOPE_PLACE(udScopeTimeSec),      SCOPE_PLACE(ubScopeNumOfTraces), SCOPE_PLACE(iScopeTraceMaxFrames),
    SCOPE_PLACE(ubScopeFlag1),        SCOPE_PLACE(sLogDataContainer), SCOPE_PLACE(sLogExtDataContainer),
    SCOPE_PLACE(sScopeDataContainer),
};
#undef SCOPE_PLACE

// Everything a reader writes besides the frame arrays, to be put back when a
// file is rejected (or was only converted).
class Saved {
 public:
  Saved() {
    for (const Place& p : kPlaces) {
      const auto* b = static_cast<const uint8_t*>(p.at);
      bytes_.insert(bytes_.end(), b, b + p.size);
    }
    flags_ = {ubMcFlag3 & kFlag3Bits, ubMcFlag4 & kFlag4Bits, ubMcFlag5 & kFlag5Bits, ubScopeFlag & kScopeFlagBits};
    for (int t = 0; t < 2; ++t) desc_[t] = scScope[t];
  }
  void Restore() const {
    const uint8_t* b = bytes_.data();
    for (const Place& p : kPlaces) {
      std::memcpy(p.at, b, p.size);
      b += p.size;
    }
    ubMcFlag3 = static_cast<uint8_t>((ubMcFlag3 & ~kFlag3Bits) | flags_[0]);
    ubMcFlag4 = static_cast<uint8_t>((ubMcFlag4 & ~kFlag4Bits) | flags_[1]);
    ubMcFlag5 = static_cast<uint8_t>((ubMcFlag5 & ~kFlag5Bits) | flags_[2]);
    ubScopeFlag = static_cast<uint8_t>((ubScopeFlag & ~kScopeFlagBits) | flags_[3]);
    // The frame arrays are the reader's now; only the counts go back.
    for (int t = 0; t < 2; ++t) {
      ScopeFrame* frames = scScope[t].pFrames;
      const uint32_t capacity = scScope[t].udCapacity;
      scScope[t] = desc_[t];
      scScope[t].pFrames = frames;
      scScope[t].udCapacity = capacity;
    }
  }

 private:
  std::vector<uint8_t> bytes_;
  std::array<int, 4> flags_;
  ScopeTraceDesc desc_[2];
};

bool ReadWhole(const std::string& path, std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "rbe");
  if (!f) {
    reason = "cannot be opened";
    return false;
  }
  bytes.clear();
  char chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0 && bytes.size() <= kMaxFileBytes) bytes.append(chunk, n);
  const bool error = std::ferror(f);
  std::fclose(f);
  if (error) reason = "read error";
  if (bytes.size() > kMaxFileBytes) reason = "larger than a trace file can be";
  return !error && bytes.size() <= kMaxFileBytes;
}

// The ".loz" text of an LZW stream. Texts are mostly a few times their
// stream: the output starts there and grows up to the largest text taken,
// rather than clearing that much for every file.
bool Expand(const std::string& stream, std::string& text) {
  LzwTables tables;
  if (!tables.Ok()) {
    reason = "out of memory";
    return false;
  }
  LzwOutcome outcome = LzwOutcome::Ok;
  for (size_t capacity = std::min(kMaxLozText, 8 * stream.size() + 4096);;
       capacity = std::min(kMaxLozText, 4 * capacity)) {
    text.resize(capacity);
    LzwInit();
    auto* out = reinterpret_cast<uint8_t*>(text.data());
    const uint8_t* end =
        LzwExpand(reinterpret_cast<const uint8_t*>(stream.data()), stream.size(), out, text.size(), &outcome);
    if (end) {
      text.resize(static_cast<size_t>(end - out));
      return true;
    }
    if (outcome != LzwOutcome::TooLarge || capacity == kMaxLozText) break;
  }
  reason = std::string("LZW stream ") + LzwOutcomeText(outcome);
  return false;
}

// A trace text names its variant in its Firmware and RAMTYPE lines; one
// that names none is read as the default variant, not as whatever was
// loaded or connected before (which made the same file read differently).
void TextVariant() {
  uwScopeRamtype = 0;
  ubMcFlag3 &= static_cast<uint8_t>(~kFlag3Bits);
  ubMcFlag5 &= static_cast<uint8_t>(~kFlag5Bits);
  ubScopeFlag &= static_cast<uint8_t>(~SCOPE_FLAG_P0417_TRACE);
}

// The ".log" text of a ".loz" or ".logzip" file.
bool LozToLog(const std::string& path, std::string& log) {
  TextVariant();
  std::string stream, text;
  return ReadWhole(path, stream) && Expand(stream, text) && ScopeConvertRohdata(text.data(), text.size(), log) >= 0;
}

int32_t Read(const std::string& path, const std::string& extension) {
  std::string bytes;
  if (extension == ".log") {
    if (!ReadWhole(path, bytes)) return -1;
    TextVariant();
    ubScopeFlag |= SCOPE_FLAG_LAST_LOAD_LOG;
    ubScopeFlag1 &= static_cast<uint8_t>(~SCOPE_FLAG1_LAST_LOAD_LO1);
    return ScopeLoadTraceFromFile(bytes.data(), bytes.size());
  }
  if (extension == ".lo1") {
    if (!ReadWhole(path, bytes)) return -1;
    ubScopeFlag &= static_cast<uint8_t>(~SCOPE_FLAG_LAST_LOAD_LOG);
    ubScopeFlag1 |= SCOPE_FLAG1_LAST_LOAD_LO1;
    return ScopeLoadBinFromFile(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
  if (extension == ".loz" || extension == ".logzip") {
    if (!LozToLog(path, bytes)) return -1;
    ubScopeFlag &= static_cast<uint8_t>(~SCOPE_FLAG_LAST_LOAD_LOG);
    ubScopeFlag1 &= static_cast<uint8_t>(~SCOPE_FLAG1_LAST_LOAD_LO1);
    return ScopeLoadTraceFromFile(bytes.data(), bytes.size());
  }
  reason = "not a trace file (.log, .loz, .logzip, .lo1)";
  return -1;
}

}  // namespace

const std::string& ScopeFileReason() { return reason; }
void ScopeFileSetReason(std::string text) { reason = std::move(text); }

int32_t ScopeLoadFile(const std::string& path) {
  const Saved saved;
  reason.clear();
  ubMcFlag2 &= static_cast<uint8_t>(~MC_FLAG2_TRACE_PRESENT);
  const int32_t frames = Read(path, ScopeNameExtension(path));
  if (frames < 0) {
    saved.Restore();
    for (ScopeTraceDesc& t : scScope.trace) {
      ScopeFramesReplace(t, 0);
      t = ScopeTraceDesc{};
    }
    ubScopeNumOfTraces = 0;
    iScopeTraceMaxFrames = -1;
    return -1;
  }
  // A trace the record does not hold has no frames, whatever the file's
  // header announced for it.
  for (int t = ubScopeNumOfTraces; t < 2; ++t) {
    ScopeFramesReplace(scScope[t], 0);
    scScope[t].uwFrames = 0;
  }
  iScopeTraceMaxFrames = frames;
  ubMcFlag2 |= MC_FLAG2_TRACE_PRESENT;
  ScopeCopyInfoData();
  return frames;
}

uint8_t ScopeConvertFileToLog(const std::string& path, std::string& logPath) {
  const std::string extension = ScopeNameExtension(path);
  logPath = ScopeReplaceExtension(path, ".log");
  if (extension != ".loz" && extension != ".logzip") {
    reason = "not a compressed trace file (.loz, .logzip)";
    return 1;
  }
  const Saved saved;
  reason.clear();
  std::string log, error;
  const bool converted = LozToLog(path, log);
  saved.Restore();
  if (!converted) return 1;
  if (!FileWriteAtomically(logPath, log, error)) {
    reason = logPath + ": " + error;
    return 1;
  }
  return 0;
}

const char* ScopeFileVariantName() {
  if (ubScopeFlag & SCOPE_FLAG_P0417_TRACE) return "P0417";
  if (ubMcFlag3 & MC_FLAG3_FW_QUILL) return "Quill";
  return "P0528";
}
