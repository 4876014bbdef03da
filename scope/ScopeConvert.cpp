#include "scope/ScopeConvert.h"

#include <cstring>

#include "engine/Mcycle.h"

namespace {

// The gap filler looks this many frames each way for a known ram position.
constexpr int kQuillReach = 19;

int16_t Raw16s(const ScopeFrame& f, int at) { return static_cast<int16_t>(f.aubRaw[at] | f.aubRaw[at + 1] << 8); }
uint16_t Raw16(const ScopeFrame& f, int at) { return static_cast<uint16_t>(f.aubRaw[at] | f.aubRaw[at + 1] << 8); }

// Records that may be touched: the trace's frames, within what its array holds.
size_t Records(const ScopeTraceDesc& t) {
  if (!t.pFrames) return 0;
  return t.uwFrames < t.udCapacity ? t.uwFrames : t.udCapacity;
}

bool Quill() { return (ubMcFlag3 & MC_FLAG3_FW_QUILL) != 0; }

void CopyRaw(ScopeTraceDesc& t, size_t firstSlot) {
  const size_t n = Records(t);
  for (size_t i = 0; i < n; ++i)
    if (const uint8_t* slot = ScopeRawSlot(firstSlot + i)) std::memcpy(t.pFrames[i].aubRaw, slot, SCOPE_RAW_BYTES);
}

int16_t Mirror(int16_t v) { return static_cast<int16_t>(SCOPE_QUILL_MIRROR - v); }

int16_t Scaled(int16_t raw, uint16_t resolution) {
  return static_cast<int16_t>(static_cast<int32_t>(raw) * resolution / 10);
}

// Channels spread over the records that do not carry them. Packed fields
// are reached by name only: a pointer to one would be misaligned.
enum class Channel { Cmdpos, Motpos, Ana1, Ana2, Ana3 };

int Get(const ScopeFrame& f, Channel c) {
  switch (c) {
    case Channel::Cmdpos: return f.swCmdpos;
    case Channel::Motpos: return f.swMotpos;
    case Channel::Ana1: return f.uwAna1;
    case Channel::Ana2: return f.uwAna2;
    default: return f.uwAna3;
  }
}

// Stores v cut to the field's 16 bits.
void Set(ScopeFrame& f, Channel c, int v) {
  switch (c) {
    case Channel::Cmdpos: f.swCmdpos = static_cast<int16_t>(v); return;
    case Channel::Motpos: f.swMotpos = static_cast<int16_t>(v); return;
    case Channel::Ana1: f.uwAna1 = static_cast<uint16_t>(v); return;
    case Channel::Ana2: f.uwAna2 = static_cast<uint16_t>(v); return;
    default: f.uwAna3 = static_cast<uint16_t>(v); return;
  }
}

// A position written at R[i] every second frame: R[i-1] becomes the midpoint
// of its neighbours, R[0] copies R[1].
void SpreadPosition(ScopeFrame* r, size_t i, Channel pos) {
  if (i == 1) {
    Set(r[0], pos, Get(r[1], pos));
  } else if (i >= 2) {
    const int16_t m = static_cast<int16_t>(Get(r[i - 2], pos));
    const int16_t d = static_cast<int16_t>(Get(r[i], pos) - m);
    Set(r[i - 1], pos, m + d / 2);
  }
}

// An analog channel written at R[i] every fourth frame: the three records
// before it are interpolated in quarter steps from R[i-4]; the first records
// copy the first sample.
void SpreadAnalog(ScopeFrame* r, size_t i, Channel a) {
  if (i < 4) {
    for (size_t k = 0; k < i; ++k) Set(r[k], a, Get(r[i], a));
    return;
  }
  const int32_t p = Get(r[i - 4], a);
  const int32_t s = (Get(r[i], a) - p) / 4;
  for (size_t k = i - 3; k < i; ++k) Set(r[k], a, Get(r[k - 1], a) + s);
}

void Multiplexed(ScopeFrame* r, size_t i) {
  ScopeFrame& f = r[i];
  const uint16_t w6 = Raw16(f, 12);
  const uint8_t b14 = f.aubRaw[14];
  switch (f.ubMux) {
    case 0:
      f.uwRamtype = b14;
      f.uwAna1 = w6;
      SpreadAnalog(r, i, Channel::Ana1);
      break;
    case 1:
      if (i > 0) {
        r[i - 1].uwRamtype = static_cast<uint16_t>(r[i - 1].uwRamtype | b14 << 8);
        f.uwRamtype = r[i - 1].uwRamtype;
      }
      if (i > 3) r[i - 1].uwStatus = f.uwStatus = r[i - 2].uwStatus;
      f.uwAna2 = w6;
      SpreadAnalog(r, i, Channel::Ana2);
      break;
    case 2:
      f.uwStatus = b14;
      f.uwAna3 = w6;
      SpreadAnalog(r, i, Channel::Ana3);
      break;
    case 3:
      if (i > 0) {
        r[i - 1].uwStatus = static_cast<uint16_t>(r[i - 1].uwStatus | b14 << 8);
        f.uwStatus = r[i - 1].uwStatus;
      }
      if (i > 3) {
        r[i - 1].uwRamtype = f.uwRamtype = r[i - 2].uwRamtype;
        r[0].uwStatus = r[1].uwStatus = r[2].uwStatus = f.uwStatus;
      }
      break;
    default: break;  // no multiplexed channel on this frame
  }
}

// The last records carry no later samples to interpolate from: they repeat
// the last complete ones. Fills that would reach before record 0 are left out.
void FillTail(ScopeFrame* r, size_t n) {
  if (n >= 4)
    for (size_t k = n - 3; k < n; ++k) {
      r[k].uwAna1 = r[n - 4].uwAna1;
      r[k].uwAna2 = r[n - 4].uwAna2;
      r[k].uwAna3 = r[n - 4].uwAna3;
    }
  if (n >= 3)
    for (size_t k = n - 2; k < n; ++k) {
      r[k].uwStatus = r[n - 3].uwStatus;
      r[k].uwRamtype = r[n - 3].uwRamtype;
    }
}

}  // namespace

bool ScopePositionsInterleaved() {
  switch (uwScopeRamtype & 0xF0) {
    case 0x30:
    case 0x70:
    case 0x90:
    case 0xA0:
    case 0xB0: return true;
    default: return !(ubMcFlag4 & MC_FLAG4_EXPERT_MODE) || Quill();
  }
}

void ScopeFrameConvertP0417(ScopeTraceDesc& trace) {
  const size_t n = Records(trace);
  for (size_t i = 0; i < n; ++i) {
    ScopeFrame& f = trace.pFrames[i];
    f.swRam = Scaled(Raw16s(f, 0), uwScopeLmsResol);
    f.swCmdpos = Scaled(Raw16s(f, 2), uwScopeMotResol);
    f.uwMcState = Raw16(f, 4);
    f.uwDigIn = Raw16(f, 8);
    f.uwDigOut = Raw16(f, 10);
    f.uwAna0 = Raw16(f, 12);
  }
}

void ScopeFrameConvertP0528(ScopeTraceDesc& trace) {
  const size_t n = Records(trace);
  ScopeFrame* r = trace.pFrames;
  const bool quill = Quill();
  const bool interleaved = ScopePositionsInterleaved();
  for (size_t i = 0; i < n; ++i) {
    ScopeFrame& f = r[i];
    f.ubMux = f.aubRaw[15];
    const int16_t w0 = Raw16s(f, 0);
    const bool last = i + 1 == n && i > 4;
    if (!interleaved) {
      f.swPosWord = w0;
      f.swCmdpos = f.swMotpos = 0;
    } else if (f.ubMux == 1 || f.ubMux == 3) {
      f.swMotpos = quill ? Mirror(w0) : w0;
      SpreadPosition(r, i, Channel::Motpos);
      if (last) f.swCmdpos = r[i - 1].swCmdpos;
    } else if (f.ubMux == 0 || f.ubMux == 2) {
      f.swCmdpos = quill ? Mirror(w0) : w0;
      SpreadPosition(r, i, Channel::Cmdpos);
      if (last) f.swMotpos = r[i - 1].swMotpos;
    }
    const int16_t ram = Raw16s(f, 2);
    f.swRam = quill ? Mirror(ram) : ram;
    f.uwMcState = Raw16(f, 4);
    f.uwDigIn = Raw16(f, 6);
    f.uwDigOut = Raw16(f, 8);
    f.uwAna0 = Raw16(f, 10);
    Multiplexed(r, i);
  }
  // The first records take the ram type of record 4 once it is assembled:
  // at frame 4 it holds one byte at most.
  if (n > 4)
    for (size_t k = 0; k < 4; ++k) r[k].uwRamtype = r[4].uwRamtype;
  FillTail(r, n);
}

void ScopeFrameConvertQuillRam(ScopeTraceDesc& trace) {
  const long n = static_cast<long>(Records(trace));
  ScopeFrame* r = trace.pFrames;
  for (long i = 0; i < n; ++i) {
    if (r[i].swRam != SCOPE_QUILL_MIRROR) continue;
    // Earlier anchor: frame 0 is never one, so frame 0 and a gap that starts
    // the trace have none.
    long h = -1;
    for (long k = 1; k <= kQuillReach && k < i; ++k)
      if (r[i - k].swRam != SCOPE_QUILL_MIRROR) {
        h = i - k;
        break;
      }
    long j = -1;
    long k = 1;
    bool end = false;
    for (; k <= kQuillReach; ++k) {
      if (i + k >= n) {
        end = true;
        break;
      }
      if (r[i + k].swRam != SCOPE_QUILL_MIRROR) {
        j = i + k;
        break;
      }
    }
    if (end) {
      r[i].swRam = r[h >= 0 ? h : 0].swRam;
      if (k == kQuillReach) return;
      continue;
    }
    if (j < 0 || k == kQuillReach) return;  // a gap too long to bridge: the rest stays
    if (h < 0) {
      r[i].swRam = r[j].swRam;
      continue;
    }
    const int16_t e = r[h].swRam;
    const int16_t d = static_cast<int16_t>(r[j].swRam - e);
    r[i].swRam = static_cast<int16_t>(e + d / (j - h));
  }
}

void ScopeConvertDownload() {
  ScopeTraceDesc& first = scScope[0];
  ScopeTraceDesc& second = scScope[1];
  const bool convertSecond = ubScopeNumOfTraces == 2 && !(ubMcFlag4 & MC_FLAG4_SECOND_TRACE_SKIPPED);
  CopyRaw(first, 0);
  if (convertSecond) CopyRaw(second, first.uwFrames);
  if (ubMcFlag3 & MC_FLAG3_FW_P0417) {
    first.ubFileFormat = SCOPE_FORMAT_P0417;
    ScopeFrameConvertP0417(first);
    return;
  }
  const bool twoQuillTraces = ubMcFlag5 & MC_FLAG5_QUILL_TWO_TRACES;
  first.ubFileFormat = Quill() && !twoQuillTraces ? SCOPE_FORMAT_QUILL : SCOPE_FORMAT_P0528;
  const bool fillRam = Quill() && (!twoQuillTraces || uwScopeRamtype == 0x81);
  for (ScopeTraceDesc* t : {&first, &second}) {
    if (t == &second && !convertSecond) break;
    ScopeFrameConvertP0528(*t);
    if (fillRam) ScopeFrameConvertQuillRam(*t);
  }
}
