// Loading a trace file whole: the file's bytes, the reader by extension, and
// the state a rejected file must not change.
#include <cstdio>
#include <memory>

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

struct Descriptor {
  uint16_t uwFrameLength, uwFramesPerBlock, uwFrames, uwSampleTime, uwPostTrg, uwPos2, uwPos5;
  uint32_t udStatus;
  uint8_t ubFileFormat;
};

// Everything a reader writes besides the frame arrays, to be put back when a
// file is rejected (or was only converted).
struct Saved {
  uint8_t flag3, flag4, flag5, scopeFlag, scopeFlag1;
  uint32_t fwVersion, status1, bootVersion, swVersion, fileFormat;
  uint16_t ramtype, lmsResol, motResol, status0, mode0, mode1, rampos, motpos, postTrgTime, msSampleTime;
  uint16_t kvo[SCOPE_KVO_WORDS];
  uint32_t date[6];
  uint8_t traces;
  int32_t maxFrames;
  Descriptor desc[2];
  CtrlCmdContainer log, ext, scope;

  void Take() {
    flag3 = ubMcFlag3 & kFlag3Bits;
    flag4 = ubMcFlag4 & kFlag4Bits;
    flag5 = ubMcFlag5 & kFlag5Bits;
    scopeFlag = ubScopeFlag & kScopeFlagBits;
    scopeFlag1 = ubScopeFlag1;
    fwVersion = udScopeFwVersion, status1 = udScopeStatus1, bootVersion = udScopeBootVersion;
    swVersion = udScopeSwVersion, fileFormat = udScopeFileFormat;
    ramtype = uwScopeRamtype, lmsResol = uwScopeLmsResol, motResol = uwScopeMotResol;
    status0 = uwScopeStatus0, mode0 = uwScopeMode0, mode1 = uwScopeMode1, rampos = uwScopeRampos;
    motpos = uwScopeMotpos, postTrgTime = uwScopePostTrgTime, msSampleTime = uwScopeMsSampleTime;
    std::copy(stRC6Kvo, stRC6Kvo + SCOPE_KVO_WORDS, kvo);
    const uint32_t d[6] = {udScopeDateYear, udScopeDateMonth, udScopeDateDay,
                           udScopeTimeHour, udScopeTimeMin,   udScopeTimeSec};
    std::copy(d, d + 6, date);
    traces = ubScopeNumOfTraces, maxFrames = iScopeTraceMaxFrames;
    for (int t = 0; t < 2; ++t) {
      const ScopeTraceDesc& s = scScope[t];
      desc[t] = {s.uwFrameLength, s.uwFramesPerBlock, s.uwFrames, s.uwSampleTime, s.uwPostTrg,
                 s.uwPos2,        s.uwPos5,           s.udStatus, s.ubFileFormat};
    }
    log = sLogDataContainer, ext = sLogExtDataContainer, scope = sScopeDataContainer;
  }

  void Restore() const {
    ubMcFlag3 = static_cast<uint8_t>((ubMcFlag3 & ~kFlag3Bits) | flag3);
    ubMcFlag4 = static_cast<uint8_t>((ubMcFlag4 & ~kFlag4Bits) | flag4);
    ubMcFlag5 = static_cast<uint8_t>((ubMcFlag5 & ~kFlag5Bits) | flag5);
    ubScopeFlag = static_cast<uint8_t>((ubScopeFlag & ~kScopeFlagBits) | scopeFlag);
    ubScopeFlag1 = scopeFlag1;
    udScopeFwVersion = fwVersion, udScopeStatus1 = status1, udScopeBootVersion = bootVersion;
    udScopeSwVersion = swVersion, udScopeFileFormat = fileFormat;
    uwScopeRamtype = ramtype, uwScopeLmsResol = lmsResol, uwScopeMotResol = motResol;
    uwScopeStatus0 = status0, uwScopeMode0 = mode0, uwScopeMode1 = mode1, uwScopeRampos = rampos;
    uwScopeMotpos = motpos, uwScopePostTrgTime = postTrgTime, uwScopeMsSampleTime = msSampleTime;
    std::copy(kvo, kvo + SCOPE_KVO_WORDS, stRC6Kvo);
    udScopeDateYear = date[0], udScopeDateMonth = date[1], udScopeDateDay = date[2];
    udScopeTimeHour = date[3], udScopeTimeMin = date[4], udScopeTimeSec = date[5];
    ubScopeNumOfTraces = traces, iScopeTraceMaxFrames = maxFrames;
    for (int t = 0; t < 2; ++t) {
      ScopeTraceDesc& s = scScope[t];
      const Descriptor& d = desc[t];
      s.uwFrameLength = d.uwFrameLength, s.uwFramesPerBlock = d.uwFramesPerBlock, s.uwFrames = d.uwFrames;
      s.uwSampleTime = d.uwSampleTime, s.uwPostTrg = d.uwPostTrg, s.uwPos2 = d.uwPos2, s.uwPos5 = d.uwPos5;
      s.udStatus = d.udStatus, s.ubFileFormat = d.ubFileFormat;
    }
    sLogDataContainer = log, sLogExtDataContainer = ext, sScopeDataContainer = scope;
  }
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

// The ".loz" text of an LZW stream.
bool Expand(const std::string& stream, std::string& text) {
  LzwTables tables;
  if (!tables.Ok()) {
    reason = "out of memory";
    return false;
  }
  text.resize(kMaxLozText);
  LzwOutcome outcome = LzwOutcome::Ok;
  LzwInit();
  auto* out = reinterpret_cast<uint8_t*>(text.data());
  const uint8_t* end =
      LzwExpand(reinterpret_cast<const uint8_t*>(stream.data()), stream.size(), out, text.size(), &outcome);
  if (!end) {
    reason = std::string("LZW stream ") + LzwOutcomeText(outcome);
    return false;
  }
  text.resize(static_cast<size_t>(end - out));
  return true;
}

// The ".log" text of a ".loz" or ".logzip" file.
bool LozToLog(const std::string& path, std::string& log) {
  std::string stream, text;
  return ReadWhole(path, stream) && Expand(stream, text) && ScopeConvertRohdata(text.data(), text.size(), log) >= 0;
}

int32_t Read(const std::string& path, const std::string& extension) {
  std::string bytes;
  if (extension == ".log") {
    if (!ReadWhole(path, bytes)) return -1;
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
  auto saved = std::make_unique<Saved>();
  saved->Take();
  reason.clear();
  ubMcFlag2 &= static_cast<uint8_t>(~MC_FLAG2_TRACE_PRESENT);
  const int32_t frames = Read(path, ScopeNameExtension(path));
  if (frames < 0) {
    saved->Restore();
    for (ScopeTraceDesc& t : scScope.trace) {
      ScopeFramesReplace(t, 0);
      t = ScopeTraceDesc{};
    }
    ubScopeNumOfTraces = 0;
    iScopeTraceMaxFrames = -1;
    return -1;
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
  auto saved = std::make_unique<Saved>();
  saved->Take();
  reason.clear();
  std::string log, error;
  const bool converted = LozToLog(path, log);
  saved->Restore();
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
