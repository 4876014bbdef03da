// The ".lo1" backtrace file the controller writes: a few text lines, two
// bytes, up to 200 recorded SDO write telegrams of the header objects, and
// the raw frames. Read as bytes.
#include <cstring>

#include "engine/Mcycle.h"
#include "engine/McycleFlags.h"
#include "engine/McycleVariant.h"
#include "objects/OBJDIR.h"
#include "params/CtrlCmd.h"
#include "scope/ScopeConvert.h"
#include "scope/ScopeFile.h"
#include "scope/ScopeFileRead.h"
#include "scope/ScopeTrace.h"

namespace {

constexpr int kMaxTextLines = 64;   // the text lines before the telegrams
constexpr int kMaxRecords = 200;
constexpr size_t kRecordSize = 8;
constexpr size_t kSkippedBytes = 2;

// Each header entry from the file entry on takes the value of its own
// object, as a download reads it; objects the file did not carry stay 0.
void TakeEntries(CtrlCmdContainer& c, int from) {
  for (int e = from; e <= c.ubLastEntry; ++e) c.entries[e].udData = ObjdirRead(c.entries[e].uwIndex, c.entries[e].ubSubIndex);
}

// The header objects the telegrams wrote, into the trace and the containers.
void TakeHeaderValues() {
  scScope[0].udStatus = ObjdirRead(0x2A00, 1);
  scScope[1].udStatus = ObjdirRead(0x2A00, 2);
  scScope[1].uwSampleTime = static_cast<uint16_t>(ObjdirRead(0x2A00, 3));
  scScope[1].uwFrames = static_cast<uint16_t>(ObjdirRead(0x2A00, 4));
  scScope[1].uwFrameLength = scScope[0].uwFrameLength;
  CtrlCmdLogDataContainerP528Init(1);
  TakeEntries(sLogDataContainer, sLogDataContainer.ubFileEntry);
  TakeEntries(sLogExtDataContainer, 0);
  auto& log = sLogDataContainer.entries;
  log[13].udData = static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(ObjdirRead(0x2503, 8))));
  for (int i = 0; i < 3; ++i)
    sScopeDataContainer.entries[7 + i].udData = ObjdirRead(0x2318, static_cast<uint8_t>(0x10 + i));
}

}  // namespace

int32_t ScopeLoadBinFromFile(const uint8_t* data, size_t length) {
  ScopeReadClear();
  ObjdirClearHeader();
  ScopeTextLines lines(reinterpret_cast<const char*>(data), length);
  ScopeHeaderScan scan;
  std::string_view line;
  for (int n = 0; n < kMaxTextLines && !scan.fileFormat && lines.Next(line); ++n) {
    ScopeReadHeaderLine(line, scan, false);
    if (scan.failed) return -1;
  }
  if (!scan.fileFormat) return ScopeReadReject("no FileFormat line");
  const bool p0417 = ubMcFlag3 & MC_FLAG3_FW_P0417;
  ubScopeNumOfTraces = udScopeFileFormat >= SCOPE_FORMAT_P0528 && !p0417 ? 2 : 1;

  const uint32_t versionLine = udScopeFwVersion;
  udScopeFwVersion &= 0xFFFF0000u;
  // Records of objects the directory does not know are passed over; those
  // after the last known one may as well be the first frames (see below).
  size_t at = lines.Offset() + kSkippedBytes;
  size_t lastKnownEnd = at;
  for (int r = 0; r < kMaxRecords && at <= length && length - at >= kRecordSize; ++r) {
    uint8_t payload[kRecordSize];
    std::memcpy(payload, data + at, kRecordSize);
    const bool write = (payload[0] & 0xF3) == 0x23;  // 0x23, 0x27, 0x2B, 0x2F
    const int32_t answer = ObjdirHandler(ObjDir, payload);
    if (payload[0] == OBJDIR_ANSWER_WRITTEN) {
      at += kRecordSize;
      lastKnownEnd = at;
    } else if (write && answer == OBJDIR_ERR_NO_OBJECT) {
      at += kRecordSize;
    } else {
      break;
    }
  }
  ScopeReadRamtypeGroup();
  TakeHeaderValues();
  // A 0x200F record wrote the controller's version word into the low half;
  // it names the firmware as identification reads it. Without one (or with
  // 0xFFFF: the version lives elsewhere) the Firmware line stands.
  const auto word = static_cast<uint16_t>(udScopeFwVersion);
  udScopeFwVersion = word && word != 0xFFFF ? McycleFwVersionFromWord(word) : versionLine;

  const uint16_t frameLength = scScope[0].uwFrameLength;
  if (frameLength < SCOPE_RAW_BYTES || frameLength > SCOPE_FRAME_SIZE)
    return ScopeReadReject("frame length %u (16 to 43 expected)", frameLength);
  const int traces = ubScopeNumOfTraces;
  uint64_t needed = 0;
  for (int t = 0; t < traces; ++t) {
    if (scScope[t].uwFrames == 0) return ScopeReadReject("trace %d: no frames", t);
    needed += static_cast<uint64_t>(scScope[t].uwFrames) * frameLength;
  }
  // Unknown records at the end that leave too few bytes were frames.
  while (at > lastKnownEnd && at <= length && length - at < needed) at -= kRecordSize;
  const uint64_t left = at < length ? length - at : 0;
  if (left < needed)
    return ScopeReadReject("%llu bytes of frames, %llu announced", static_cast<unsigned long long>(left),
                           static_cast<unsigned long long>(needed));
  int32_t total = 0;
  for (int t = 0; t < traces; ++t) {
    ScopeTraceDesc& d = scScope[t];
    if (!ScopeFramesReplace(d, d.uwFrames)) return ScopeReadReject("out of memory");
    for (uint32_t i = 0; i < d.uwFrames; ++i, at += frameLength) std::memcpy(d.pFrames[i].aubRaw, data + at, SCOPE_RAW_BYTES);
    ScopeFrameConvertP0528(d);
    total += d.uwFrames;
  }
  return total;
}
